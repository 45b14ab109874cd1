"""End-to-end: how items start. F10 names a program in a version folder that is gone (it
updated itself into app-1.9.0 and app-1.10.0). Called from tests/e2e/run
(KEYRACK_E2E_ONLY=launch runs these alone)."""

import os
import shutil

from desktop import wait_for
from hung_window import make_slot

DEMO_TITLE = "Keyrack e2e demo"


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


def run(s, check, figures, helpers, slotfile, data, progs, shots):
    deploy_and_watch, _ = helpers
    if s.keyrack[-1].poll() is not None:
        s.start_keyrack()
    if not check("launch tests: Keyrack runs", wait_for(s.icons, 60)):
        return
    test_version_folder(s, check, figures, deploy_and_watch, slotfile, data, progs)
