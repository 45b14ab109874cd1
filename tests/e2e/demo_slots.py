"""The demo slots that scripts/run and the end-to-end tests write with slotfile, and where
their windows are expected afterwards."""

import json
import os
import subprocess

NOTEPAD = "C:\\windows\\system32\\notepad.exe"
REGEDIT = "C:\\windows\\regedit.exe"
WORDPAD = "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"
CLOCK = "C:\\windows\\system32\\clock.exe"


def item(path, title, x, y, width, height, maximize=False):
    return {"path": path, "processPath": path, "name": title, "parameters": "",
            "x": x, "y": y, "width": width, "height": height, "maximize": maximize}


# Slot 1 (F1): a maximised Registry Editor behind two Notepads side by side. Items are raised
# in slot order, so the maximised one comes first and the Notepads end on top.
SLOTS = {
    1: {"name": "데모 작업대",
        "items": [item(REGEDIT, "Registry Editor", 200, 150, 900, 600, maximize=True),
                  item(NOTEPAD, "Untitled - Notepad", 40, 40, 900, 900),
                  item(NOTEPAD, "Untitled - Notepad", 980, 40, 900, 900)]},
    # Slot 2 (F2): WordPad and the clock.
    2: {"name": "문서와 시계",
        "items": [item(WORDPAD, "Document - Wine Wordpad", 200, 120, 1100, 760),
                  item(CLOCK, "Clock", 1340, 120, 420, 420)]},
}


def expected_windows(slot):
    """What find_slot_windows looks for: the program's image and its rectangle."""
    out = []
    for it in SLOTS[slot]["items"]:
        rect = [it["x"], it["y"], it["x"] + it["width"], it["y"] + it["height"]]
        out.append({"image": it["processPath"].rsplit("\\", 1)[-1], "rect": rect,
                    "maximize": it["maximize"], "title": it["name"]})
    return out


def write_slots(slotfile, data_dir, slots=(1, 2)):
    os.makedirs(data_dir, exist_ok=True)
    for n in slots:
        subprocess.run([slotfile, "make", data_dir, str(n)],
                       input=json.dumps(SLOTS[n], ensure_ascii=False).encode("utf-8"),
                       check=True, timeout=60)
