#!/usr/bin/env python3
"""The demo of scripts/run: starts keyrack.exe from a prepared folder under Wine, presses
Left Ctrl + Left Shift + F1 through real input, waits for slot 1's windows to take their
places, saves a screenshot and prints the rectangles.

usage: demo.py EXE_DIR PROBE [--stay]"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Desktop, find_slot_windows, wait_for  # noqa: E402
from demo_slots import expected_windows  # noqa: E402


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    stay = "--stay" in sys.argv
    exe_dir, probe = args[0], args[1]
    env = dict(os.environ)
    desk = Desktop(probe, env)

    if desk.tray_icons():
        print("demo: a Keyrack is already running in this prefix; using it")
        keyrack = None
    else:
        started = time.monotonic()
        keyrack = subprocess.Popen(["wine", os.path.join(exe_dir, "keyrack.exe")], cwd=exe_dir,
                                   env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        icons = wait_for(lambda: [t for t in desk.tray_icons() if t["icon"]], 60)
        if not icons:
            print("demo: no tray icon appeared")
            return 1
        print("demo: tray icon after %.2f s" % (time.monotonic() - started))

    expected = expected_windows(1)
    before = {w["hwnd"] for w in desk.windows()}
    print("demo: pressing Left Ctrl + Left Shift + F1")
    desk.focus_desktop()

    def placed():
        fresh = [w for w in desk.windows() if w["hwnd"] not in before]
        found = find_slot_windows(fresh, expected)
        return found if all(found) else None

    chord_at = time.monotonic()
    # The keys stay down until Keyrack shows it has seen the chord (a busy machine may take a
    # while to pass them on).
    desk.chord("F1", until=lambda: desk.indicator() or placed())
    found = wait_for(placed, 90, interval=0.1)
    if not found:
        print("demo: slot 1's windows did not all reach their places")
        return 1
    print("demo: all of slot 1's windows placed %.2f s after the chord"
          % (time.monotonic() - chord_at))
    # The indicator closes after showing the outcome.
    wait_for(lambda: desk.indicator() is None, 30)
    shot = desk.screenshot(os.path.join(exe_dir, "deployed.png"))
    for w, item in zip(found, expected):
        state = "maximised" if w["zoomed"] else "normal"
        print("  %-22s %-32s rect=%s %s" % (item["image"], w["title"][:32], w["rect"], state))
    print("demo: screenshot saved to %s" % shot)
    if stay:
        print("demo: Keyrack keeps running (--stay). Try Left Ctrl + Left Shift + F1 / F2, or "
              "click the tray icon at the right end of the taskbar.")
    elif keyrack is not None:
        keyrack.terminate()
    return 0


if __name__ == "__main__":
    sys.exit(main())
