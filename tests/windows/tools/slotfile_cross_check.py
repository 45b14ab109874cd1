#!/usr/bin/env python3
"""slotfile.exe under Wine against the Linux slotfile.

roundtrip: for every slot below, the Linux tool writes it into a folder with a Hangul name;
slotfile.exe dumps it to the same bytes of JSON as the Linux tool, and makes from that JSON a
slot file and a table equal byte for byte to the originals. Every refused input leaves the
files as they were and no temporary file behind.
zip: the package holds slotfile.exe beside keyrack.exe.
Prints one PASS/FAIL line per check; exits non-zero on any failure."""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

NOTEPAD = "C:\\Windows\\notepad.exe"
SLOTS = [
    ("empty slot", {}),
    ("Hangul, CR LF and a tab in texts, negative and extreme numbers", {
        "name": "작업대 — 월요일",
        "items": [
            {"path": NOTEPAD, "processPath": NOTEPAD, "name": "제목 없음 - 메모장",
             "parameters": "첫 줄\r\n둘째 줄\tA", "x": -1920, "y": -2147483648,
             "width": 2147483647, "height": 1, "maximize": 1},
            {"path": "D:\\게임\\실행.exe", "processPath": "d:\\게임\\실행.EXE", "reserved": 0,
             "index": -128, "fileName": "다른 이름.exe"},
        ]}),
    ("three items, two sharing a table entry, one without any", {
        "name": "세 개",
        "items": [
            {"path": NOTEPAD, "processPath": NOTEPAD, "name": "a"},
            {"path": NOTEPAD.upper(), "processPath": NOTEPAD.upper(), "name": "b"},
            {"path": "relative\\tool.exe", "name": "c", "pspId": 4294967295},
        ]}),
    ("an id given with its path, astral characters", {
        "name": "\U0001F600 slot",
        "items": [{"path": "C:\\x\\\U00020000.exe", "processPath": "C:\\x\\\U00020000.exe",
                   "pspId": 77, "name": "\U0001F4BE"}]}),
]
REFUSED = [
    ("not JSON", b"{\"name\": "),
    ("an unknown field", b"{\"nmae\": \"x\"}"),
    ("an over-long name", json.dumps({"name": "\uac00" * 256}).encode()),
    ("a number too large for its field", b"{\"items\": [{\"x\": 99999999999999999999999}]}"),
    ("an id that names another path",
     json.dumps({"items": [{"pspId": 77, "processPath": "C:\\other.exe"}]}).encode()),
]

failures = 0


def check(name, ok, detail=""):
    global failures
    print("%s: %s%s" % ("PASS" if ok else "FAIL", name, "" if ok or not detail else " -- " + detail))
    failures += 0 if ok else 1
    return ok


def files_of(folder):
    out = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            out[name] = f.read()
    return out


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def roundtrip(args):
    run_host = lambda *a, data=None: subprocess.run(  # noqa: E731
        [args.host, *a], input=data, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    run_exe = lambda *a, data=None: subprocess.run(  # noqa: E731
        [args.wine, args.exe, *a], input=data, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
        timeout=120)
    if not os.path.exists(args.host):
        check("the Linux slotfile exists (build the host preset)", False, args.host)
        return
    work = tempfile.mkdtemp(prefix="keyrack-slotfile-")
    try:
        for number, (name, slot) in enumerate(SLOTS, start=1):
            source = os.path.join(work, "원본 %d" % number)
            copy = os.path.join(work, "옮긴 곳 %d" % number)
            made = run_host("make", source, str(number),
                            data=json.dumps(slot, ensure_ascii=False).encode("utf-8"))
            if not made.returncode == 0:
                check(name + ": the Linux tool writes it", False, made.stderr.decode())
                continue
            linux_json = run_host("dump", source, str(number)).stdout
            dumped = run_exe("dump", windows_path(source), str(number))
            check(name + ": slotfile.exe dump prints the Linux tool's bytes",
                  dumped.returncode == 0 and dumped.stdout == linux_json,
                  "rc %d, %r vs %r" % (dumped.returncode, dumped.stdout[:80], linux_json[:80]))
            made = run_exe("make", windows_path(copy), str(number), data=dumped.stdout)
            check(name + ": slotfile.exe make writes the original slot file and table",
                  made.returncode == 0 and files_of(copy) == files_of(source),
                  "rc %d %s" % (made.returncode, made.stderr.decode("utf-8", "replace")))
        # Refusals, into the folder of the last slot.
        number = len(SLOTS)
        target = os.path.join(work, "옮긴 곳 %d" % number)
        before = files_of(target)
        for name, data in REFUSED:
            refused = run_exe("make", windows_path(target), str(number), data=data)
            check("refused (%s): exit 2, a message, files unchanged, nothing left behind" % name,
                  refused.returncode == 2 and b"slotfile: " in refused.stderr and
                  files_of(target) == before,
                  "rc %d, files %s" % (refused.returncode, sorted(files_of(target))))
    finally:
        shutil.rmtree(work, ignore_errors=True)


def package(args):
    built = subprocess.run(["cmake", "--build", args.build, "--target", "keyrack_package"],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=600)
    if not check("the package builds", built.returncode == 0, built.stdout.decode()[-500:]):
        return
    with zipfile.ZipFile(args.zip) as z:
        names = {n.split("/", 1)[-1]: n for n in z.namelist()}
        with open(args.exe, "rb") as f:
            exe = f.read()
        check("the zip holds keyrack.exe and slotfile.exe side by side",
              "keyrack.exe" in names and "slotfile.exe" in names, str(sorted(names)))
        check("its slotfile.exe is the one built",
              "slotfile.exe" in names and z.read(names["slotfile.exe"]) == exe)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("what", choices=("roundtrip", "zip"))
    parser.add_argument("--exe", required=True)
    parser.add_argument("--host")
    parser.add_argument("--wine")
    parser.add_argument("--build")
    parser.add_argument("--zip")
    args = parser.parse_args()
    roundtrip(args) if args.what == "roundtrip" else package(args)
    print("%d failed" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
