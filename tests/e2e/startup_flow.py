"""End-to-end test of the tray menu's "Windows 시작 시 실행": real clicks on the entry make and
remove a shortcut to keyrack.exe in the prefix's Startup folder, and the entry's check mark
follows it. The shortcut is read back by the probe (the shell's link object); the check mark
is seen on the screen, since another process can't read Keyrack's menu under Wine."""

import glob
import json
import os
import subprocess
import time

from desktop import wait_for


def startup_folder(prefix):
    """The user's Startup folder in the prefix (Wine spells it StartUp)."""
    found = [f for f in glob.glob(os.path.join(
        prefix, "drive_c", "users", "*", "AppData", "Roaming", "Microsoft", "Windows",
        "Start Menu", "Programs", "*")) if os.path.basename(f).lower() == "startup" and
        os.sep + "Public" + os.sep not in f]
    return found[0] if found else None


def shortcuts(folder):
    return sorted(f for f in os.listdir(folder) if f.lower().endswith((".lnk", ".tmp")))


def rgb_rows(desk, rect):
    """The screen's pixels in `rect` as rows of (r, g, b)."""
    left, top, right, bottom = rect
    width, height = right - left, bottom - top
    raw = subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (
        width, height, left, top), "+repage", "-depth", "8", "rgb:-"], env=desk.env,
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60).stdout
    if len(raw) != width * height * 3:
        return []
    return [[tuple(raw[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
            for y in range(height)]


def entry_rows(desk, menu_rect):
    """The screen rows [top, bottom) of the menu's last three entries' texts (this entry, 정보,
    종료), found as runs of rows with something drawn at the start of the text column; the
    menu's background is its most common colour."""
    left, top = menu_rect[0], menu_rect[1]
    rows = rgb_rows(desk, menu_rect)
    if not rows:
        return None, None
    counts = {}
    for row in rows:
        for pixel in row:
            counts[pixel] = counts.get(pixel, 0) + 1
    background = max(counts, key=counts.get)
    # The frame's edges (the outer rows) are no entry.
    inked = [4 <= y < len(rows) - 4 and any(pixel != background for pixel in row[20:70])
             for y, row in enumerate(rows)]
    runs = []
    for y, ink in enumerate(inked):
        if ink and (y == 0 or not inked[y - 1]):
            runs.append([y, y + 1])
        elif ink:
            runs[-1][1] = y + 1
    if len(runs) < 3:
        return None, background
    entry = runs[-3]
    return (top + entry[0], top + entry[1]), background


def check_mark_pixels(desk, menu_rect, entry, background):
    """Pixels drawn in the entry's check column, left of its text."""
    left = menu_rect[0]
    rows = rgb_rows(desk, (left + 3, entry[0] - 2, left + 19, entry[1] + 2))
    return sum(1 for row in rows for pixel in row if pixel != background)


def read_link(desk, path):
    """What the shortcut file points at, read back by the probe: {"target", "folder"}."""
    out = subprocess.run(["wine", desk.probe_exe, "link", "Z:" + path.replace("/", "\\")],
                         env=desk.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         timeout=60)
    lines = [line for line in out.stdout.decode("utf-8", "replace").splitlines()
             if line.startswith("{")]
    return json.loads(lines[0]) if lines else {}


def menu_state(desk, shots, tag):
    """Opens the tray menu: its rectangle, the entry's rows, and whether the entry carries a
    check mark (None when the entry was not found). Wine sometimes leaves a popup menu's
    window blank on a busy desktop; the menu is then closed and opened again."""
    for _ in range(3):
        desk.click_tray(1)
        menus = wait_for(desk.popup_menus, 10)
        if not menus:
            continue
        rect = menus[0]["rect"]

        def drawn():
            rows, background = entry_rows(desk, rect)
            return (rows, background) if rows else None

        found = wait_for(drawn, 5)
        left, top, right, bottom = rect
        desk.screenshot(os.path.join(shots, "startup-entry-%s.png" % tag),
                        (left - 5, top - 5, right + 5, bottom + 5))
        if found:
            rows, background = found
            return rect, rows, check_mark_pixels(desk, rect, rows, background) > 8
        desk.keys("Escape", rect=rect)
        wait_for(lambda: not desk.popup_menus(), 10)
    return None, None, None


def click_entry(desk, rect, rows):
    """A real click, as long as a person's, on the middle of the entry, after the pointer has
    rested on it."""
    x, y = (rect[0] + rect[2]) // 2, (rows[0] + rows[1]) // 2
    for dx in (0, 1):
        desk.x("mousemove", str(x + dx), str(y))
        time.sleep(0.3)
    desk.x("mousedown", "1")
    time.sleep(0.1)
    desk.x("mouseup", "1")


def test_start_with_windows(s, check, shots, prefix, keyrack_exe):
    folder = startup_folder(prefix)
    if not check("start with Windows: the prefix has a Startup folder", folder, prefix):
        return
    for name in shortcuts(folder):  # left by an interrupted run
        os.remove(os.path.join(folder, name))
    desk = s.desk
    rect, rows, checked = menu_state(desk, shots, "off")
    if not check("start with Windows: the entry is there, unchecked", checked is False,
                 "rows %s" % (rows,)):
        desk.keys("Escape", rect=rect)
        return
    click_entry(desk, rect, rows)
    made = wait_for(lambda: shortcuts(folder) == ["Keyrack.lnk"], 15) and shortcuts(folder)
    check("a click makes one shortcut in the Startup folder", made == ["Keyrack.lnk"], str(made))
    if made:
        expected = "Z:" + keyrack_exe.replace("/", "\\")
        target = read_link(desk, os.path.join(folder, made[0]))
        check("the shortcut points at keyrack.exe, working folder its own",
              target.get("target", "").lower() == expected.lower() and
              target.get("folder", "").lower() == expected.rsplit("\\", 1)[0].lower(),
              "%s, expected %s" % (target, expected))

    rect, rows, checked = menu_state(desk, shots, "on")
    check("the entry is checked now", checked is True, "rows %s" % (rows,))
    if not rows:
        desk.keys("Escape", rect=rect)
        return
    click_entry(desk, rect, rows)
    check("a second click removes the shortcut", wait_for(lambda: not shortcuts(folder), 15),
          str(shortcuts(folder)))
    rect, rows, checked = menu_state(desk, shots, "off-again")
    check("and the entry is unchecked again", checked is False, "rows %s" % (rows,))
    desk.keys("Escape", rect=rect)
    wait_for(lambda: not desk.popup_menus(), 10)
