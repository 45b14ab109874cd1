"""End-to-end: how items start. F10 names a program in a version folder that is gone (it
updated itself into app-1.9.0 and app-1.10.0); F11 holds programs that take the start-up
position and size (a CW_USEDEFAULT test program, Registry Editor, a maximised one) and Notepad,
which ignores them. Called from tests/e2e/run (KEYRACK_E2E_ONLY=launch runs these alone)."""

import json
import os
import shutil
import subprocess
import threading
import time

from demo_slots import NOTEPAD, REGEDIT, item
from desktop import wait_for
from hung_window import make_slot

DEMO_TITLE = "Keyrack e2e demo"
STARTUP_TITLE = "Keyrack e2e startup"
MAXIMISED_TITLE = "Keyrack e2e maximised"
MAXIMISED_RECT = (-4, -4, 1924, 1064)  # Wine's maximised window above the taskbar


def win_path(path):
    return "Z:" + path.replace("/", "\\")


def rect_of(x, y, width, height):
    return [x, y, x + width, y + height]


def test_version_folder(s, check, figures, deploy_and_watch, slotfile, data, progs):
    demo = os.path.join(progs, "Demo")
    for version in ("app-1.9.0", "app-1.10.0"):
        os.makedirs(os.path.join(demo, version), exist_ok=True)
        shutil.copy(os.path.join(progs, "keyrack_test_window.exe"),
                    os.path.join(demo, version, "demoapp.exe"))
    stored = win_path(os.path.join(demo, "app-1.0.0", "demoapp.exe"))
    newest = win_path(os.path.join(demo, "app-1.10.0"))
    demo_item = {"path": stored, "processPath": stored, "name": "데모 앱",
                 "parameters": 'startup "%s"' % DEMO_TITLE, "x": 300, "y": 200, "width": 700,
                 "height": 450, "maximize": False}
    slot_file = make_slot(slotfile, data, 10, {"name": "버전 폴더", "items": [demo_item]})
    table = os.path.join(data, "processsourcepath")
    with open(slot_file, "rb") as f:
        slot_bytes = f.read()
    with open(table, "rb") as f:
        table_bytes = f.read()
    rect = rect_of(300, 200, 700, 450)
    seen = deploy_and_watch(s, "F10", [{"image": "demoapp.exe", "rect": rect}], shots=False)
    placed = (seen["placed"] or [None])[0]
    check("F10: app-1.10.0's demoapp.exe is launched and placed at the slot's rectangle",
          placed and "\\app-1.10.0\\" in placed["image"].lower(), str(placed))
    if placed:
        figures["F10: chord to the newest version's window placed (s)"] = round(
            seen["placed_after"], 2)
        check("F10: it starts in its own folder (its title names its working directory)",
              placed["title"].lower() == ("%s in %s" % (DEMO_TITLE, newest)).lower(),
              placed["title"])
        check("F10: placed well before the time-out (2000 pauses, ~2.2 s here)",
              seen["placed_after"] < 1.5, "%.2f s" % seen["placed_after"])
    check("F10: the indicator closes", seen["closed"])
    lines = " ".join(seen.get("lines_seen", set()))
    log = wait_for(lambda: (s.log_bytes() or b"").decode("cp949", "replace")
                   if "CreateProcess" in (s.log_bytes() or b"").decode("cp949", "replace")
                   else None, 10) or ""
    check("F10: the run log names the substitution and no time-out",
          "새 버전 폴더에서 실행: %s -> %s\\demoapp.exe" % (stored, newest) in log and
          "타임아웃" not in log and "타임아웃" not in lines, log[-600:])
    with open(slot_file, "rb") as f:
        check("F10: the slot file is byte-identical afterwards", f.read() == slot_bytes)
    with open(table, "rb") as f:
        check("F10: no path was learned by title (the table is unchanged)", f.read() == table_bytes)


class FirstShown:
    """The probe polling the desktop without pause from before the chord: the first visible
    rectangle of each new window whose title holds one of `titles`."""

    def __init__(self, desk, titles, seconds=40):
        self.rows = []
        self.process = subprocess.Popen(
            ["wine", desk.probe_exe, "first-shown", str(seconds), *titles], env=desk.env,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.ready = threading.Event()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            text = line.decode("utf-8", "replace").strip()
            if text == "ready":
                self.ready.set()
            elif text.startswith("{"):
                self.rows.append(json.loads(text))

    def first(self, part):
        return next((r for r in self.rows if part in r["title"]), None)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(10)


def test_startup_position(s, check, figures, deploy_and_watch, slotfile, data, progs, shots):
    programs = {}
    for name in ("startup_a.exe", "startup_max.exe"):
        shutil.copy(os.path.join(progs, "keyrack_test_window.exe"), os.path.join(progs, name))
        programs[name] = win_path(os.path.join(progs, name))
    startup = dict(item(programs["startup_a.exe"], "시작 위치", 120, 90, 640, 400),
                   parameters='startup "%s"' % STARTUP_TITLE)
    maximised = dict(item(programs["startup_max.exe"], "최대화", 700, 300, 800, 500,
                          maximize=True), parameters='startup "%s"' % MAXIMISED_TITLE)
    regedit = item(REGEDIT, "Registry Editor", 800, 100, 700, 500)
    notepad = item(NOTEPAD, "Untitled - Notepad", 1000, 560, 600, 400)
    # A document, which only the shell opens (with Notepad here).
    with open(os.path.join(progs, "plan.ini"), "w") as f:
        f.write("[plan]\n")
    document = item(win_path(os.path.join(progs, "plan.ini")), "plan.ini - Notepad", 60, 560,
                    500, 400)
    document["processPath"] = NOTEPAD
    make_slot(slotfile, data, 11, {"name": "시작 위치", "items": [startup, regedit, maximised,
                                                                   notepad, document]})
    watch = FirstShown(s.desk, [STARTUP_TITLE, "Registry Editor", MAXIMISED_TITLE, "Notepad"])
    try:
        check("F11: the probe watches before the chord", watch.ready.wait(30))
        expected = [{"image": "startup_a.exe", "rect": rect_of(120, 90, 640, 400)},
                    {"image": "regedit.exe", "rect": rect_of(800, 100, 700, 500)},
                    {"image": "startup_max.exe", "rect": None, "maximize": True},
                    {"image": "notepad.exe", "rect": rect_of(1000, 560, 600, 400)},
                    {"image": "notepad.exe", "rect": rect_of(60, 560, 500, 400)}]
        seen = deploy_and_watch(s, "F11", expected, shots=False)
        wait_for(lambda: len(watch.rows) >= 4, 10)
    finally:
        watch.stop()
    s.desk.screenshot(os.path.join(shots, "startup-positions.png"))
    figures["F11: first visible rectangles"] = json.dumps(watch.rows, ensure_ascii=False)
    for title, rect in ((STARTUP_TITLE, rect_of(120, 90, 640, 400)),
                        ("Registry Editor", rect_of(800, 100, 700, 500))):
        first = watch.first(title)
        check("F11: %s is first seen visible at the slot's rectangle %s" % (title, rect),
              first and first["rect"] == rect and not first["zoomed"], str(first))
    first = watch.first(MAXIMISED_TITLE)
    check("F11: the maximised item is first seen visible maximised on its monitor",
          first and first["zoomed"] and tuple(first["rect"]) == MAXIMISED_RECT, str(first))
    check("F11: Notepad, which ignores the start-up position, is still placed",
          seen["placed"] and seen["placed"][3], str(seen["placed"]))
    first = watch.first("Notepad")
    if first:
        figures["F11: Notepad's first visible rectangle"] = first["rect"]
    log = (s.log_bytes() or b"").decode("cp949", "replace")
    check("F11: the run log says each item was started with CreateProcess",
          all(("CreateProcess 실행: " + it["name"]) in log
              for it in (startup, regedit, maximised, notepad)), log[-800:])
    check("F11: the document went through the shell and its window was placed",
          "ShellExecuteEx 실행: plan.ini - Notepad" in log and seen["placed"] and seen["placed"][4], log[-800:])


def run(s, check, figures, helpers, slotfile, data, progs, shots):
    deploy_and_watch, _ = helpers
    if s.keyrack[-1].poll() is not None:
        s.start_keyrack()
    if not check("launch tests: Keyrack runs", wait_for(s.icons, 60)):
        return
    test_version_folder(s, check, figures, deploy_and_watch, slotfile, data, progs)
    test_startup_position(s, check, figures, deploy_and_watch, slotfile, data, progs, shots)
