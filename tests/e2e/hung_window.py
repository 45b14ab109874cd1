"""End-to-end: a program that stops answering once its window shows, deployed beside Notepad,
and a slot whose rectangle lies on a monitor that is not there. Keyrack must go on: the
deployment ends, the next chord toggles, the tray menu opens and 종료 ends the process. Called
from tests/e2e/run (KEYRACK_E2E_ONLY=hung runs these alone); the last test ends Keyrack."""

import json
import os
import subprocess
import time

from demo_slots import NOTEPAD, item
from desktop import wait_for

HUNG_TITLE = "Keyrack e2e hung"
HUNG_NAME = "멈춘 프로그램"
NOTEPAD_TITLE = "Untitled - Notepad"
NOTEPAD_RECT = [980, 120, 1580, 620]
OFF_SCREEN = (2400, 300, 600, 400)  # a monitor right of the 1920 x 1080 desktop, now gone
ON_SCREEN = [1320, 300, 1920, 700]


def make_slot(slotfile, data, index, slot):
    subprocess.run([slotfile, "make", data, str(index)],
                   input=json.dumps(slot, ensure_ascii=False).encode("utf-8"), check=True,
                   timeout=60)
    return os.path.join(data, "%d.slot" % index)


def write_slots(slotfile, data, progs):
    """F9: the hung program, then Notepad (raised last, so it ends on top). F8: Notepad on the
    monitor that is gone."""
    program = "Z:" + os.path.join(progs, "keyrack_test_window.exe").replace("/", "\\")
    x, y, right, bottom = NOTEPAD_RECT
    hung = {"path": program, "processPath": program, "name": HUNG_NAME,
            "parameters": 'hangs "%s"' % HUNG_TITLE, "x": 100, "y": 120, "width": 640,
            "height": 480, "maximize": False}
    make_slot(slotfile, data, 9, {"name": "멈춘 창", "items": [
        hung, item(NOTEPAD, NOTEPAD_TITLE, x, y, right - x, bottom - y)]})
    return make_slot(slotfile, data, 8, {"name": "사라진 모니터", "items": [
        item(NOTEPAD, NOTEPAD_TITLE, *OFF_SCREEN)]})


def notepads(s, before):
    return [w for w in s.desk.windows() if w["hwnd"] not in before and w["visible"] and
            w["image"].lower().endswith("notepad.exe") and not w["owner"]]


def test_off_monitor(s, check, deploy_and_watch, slot_file):
    with open(slot_file, "rb") as f:
        stored = f.read()
    expected = [{"image": "notepad.exe", "rect": ON_SCREEN, "maximize": False}]
    seen = deploy_and_watch(s, "F8", expected, shots=False)
    found = notepads(s, seen["before"])
    check("F8: Notepad stored at (2400, 300, 600, 400) ends at (1320, 300, 600, 400)",
          seen["placed"] and len(found) == 1 and list(found[0]["rect"]) == ON_SCREEN,
          str([w["rect"] for w in found]))
    with open(slot_file, "rb") as f:
        check("F8: the slot file is byte-identical afterwards", f.read() == stored)


def click_into(s, window):
    """A click in the window's client area: Wine sends no key to any program while a window
    that does not answer has the keyboard focus, so one that answers takes it first."""
    left, top, right, bottom = window["rect"]
    for y in (top + 10, (top + bottom) // 2):  # its caption, then its client area
        s.desk.x("mousemove", str((left + right) // 2), str(y))
        s.desk.x("click", "1")
        time.sleep(0.2)


def test_hung(s, check, figures, deploy_and_watch, open_menu, shots):
    expected = [{"image": "notepad.exe", "rect": NOTEPAD_RECT, "maximize": False}]
    line = "응답 없음: " + HUNG_NAME
    seen = deploy_and_watch(s, "F9", expected, shots=False)
    lines = seen.get("lines_seen", set())
    check("F9: Notepad is placed beside the hung program", seen["placed"],
          str(seen.get("placed")))
    check("F9: the popup shows " + line, any(line in text for text in lines), str(lines))
    hung = [w for w in s.desk.windows() if w["title"] == HUNG_TITLE]
    check("F9: the hung program's window is open", hung, str(hung))
    check("F9: the indicator closes", seen["closed"])
    if seen["placed"] and seen["closed"]:
        # The hung window's answer is awaited 5 s (Notepad is placed meanwhile); the deployment
        # then ends as usual.
        pause = seen["closed_after"] - seen["placed_after"]
        figures["F9: last placement to indicator closed (s)"] = round(pause, 2)
        check("F9: the indicator closes within the 5 s wait for an answer, the outcome pause "
              "(2.5 s) and 1 s of the last placement", pause < 8.5, "%.2f s" % pause)
    raw = s.log_bytes() or b""
    check("F9: the run log says " + line, line.encode("cp949") in raw)
    if not seen["placed"]:
        return
    notepad = notepads(s, seen["before"])
    if notepad:
        click_into(s, notepad[0])
        time.sleep(0.5)
    s.desk.screenshot(os.path.join(shots, "hung-deployed.png"))
    # Timed on the X side, which answers in milliseconds (the probe needs a Wine start): a
    # minimised window's X window leaves its place.
    def x_places():
        return sorted(rect for _, rect in s.desk.x_windows("notepad.exe"))

    shown = x_places()
    start = time.monotonic()
    s.desk.chord("F9", until=lambda: x_places() != shown)
    took = time.monotonic() - start
    minimised = notepads(s, seen["before"])
    minimised = minimised and all(w["iconic"] for w in minimised)
    figures["F9: chord to Notepad minimised, hung window in the slot (s)"] = round(took, 2)
    check("F9: the next chord minimises Notepad within 1 s", minimised and took < 1.0,
          "%.2f s" % took)
    menu = open_menu(s)
    check("F9: the tray menu opens", menu)
    if not menu:
        return
    s.desk.screenshot(os.path.join(shots, "hung-menu.png"))
    process = s.keyrack[-1]
    s.desk.keys("Up", rect=menu["rect"])
    chosen = time.monotonic()
    s.desk.keys("Return")
    try:
        process.wait(20)
        ended = time.monotonic() - chosen
    except subprocess.TimeoutExpired:
        ended = None
    figures["F9: 종료 to process end, hung window in a deployed slot (s)"] = (
        ended and round(ended, 2))
    check("F9: 종료 ends the process within 2 s with a hung window in a deployed slot",
          ended is not None and ended < 2.0, "ended after %s s" % ended)


def run(s, check, figures, helpers, slotfile, data, progs, shots):
    """Both tests on a running Keyrack (started again if an earlier test ended it). `helpers`
    are the runner's deploy_and_watch and open_menu."""
    deploy_and_watch, open_menu = helpers
    if s.keyrack[-1].poll() is not None:
        s.start_keyrack()
    if not check("hung window tests: Keyrack runs", wait_for(s.icons, 60)):
        return
    slot8 = write_slots(slotfile, data, progs)
    test_off_monitor(s, check, deploy_and_watch, slot8)
    test_hung(s, check, figures, deploy_and_watch, open_menu, shots)
