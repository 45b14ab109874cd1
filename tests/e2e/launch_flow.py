"""End-to-end: how items start. F11 holds programs that take the start-up position and size
(a CW_USEDEFAULT test program, Registry Editor, a maximised one) and Notepad, which ignores them. Called from tests/e2e/run (KEYRACK_E2E_ONLY=launch runs these alone)."""

import json
import os
import shutil
import subprocess
import threading

from demo_slots import NOTEPAD, REGEDIT, item
from desktop import wait_for
from hung_window import make_slot

STARTUP_TITLE = "Keyrack e2e startup"
MAXIMISED_TITLE = "Keyrack e2e maximised"
MAXIMISED_RECT = (-4, -4, 1924, 1064)  # Wine's maximised window above the taskbar


def win_path(path):
    return "Z:" + path.replace("/", "\\")


def rect_of(x, y, width, height):
    return [x, y, x + width, y + height]


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
    test_startup_position(s, check, figures, deploy_and_watch, slotfile, data, progs, shots)
