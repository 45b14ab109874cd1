"""Looking at and driving Keyrack's Wine desktop from outside: the probe, real X input,
screenshots, and bounded polling. Shared by the end-to-end tests and scripts/run."""

import json
import os
import subprocess
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TRAY_ICON_POINT = (1910, 1070)  # the rightmost taskbar item on a 1920x1080 shell desktop
TASKBAR_TOP = 1060


class Desktop:
    def __init__(self, probe, env):
        self.probe_exe = probe
        self.env = env

    # ---- the probe -------------------------------------------------------------------------
    def _probe(self, command):
        out = subprocess.run(["wine", self.probe_exe, command], env=self.env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
        rows = []
        for line in out.stdout.decode("utf-8", "replace").splitlines():
            line = line.strip()
            if line.startswith("{"):
                try:
                    rows.append(json.loads(line))
                except ValueError:
                    pass
        return rows

    def windows(self):
        return self._probe("windows")

    def tray_icons(self):
        """One row per Keyrack main window: {"hwnd", "pid", "icon": bool}."""
        return self._probe("tray")

    def explorer_restart(self):
        """Drops Keyrack's tray icons and broadcasts "TaskbarCreated", as a restarted Explorer
        does; returns how many icons were dropped."""
        rows = self._probe("explorer-restart")
        return rows[0]["dropped"] if rows else 0

    def keyrack_windows(self):
        return [w for w in self.windows() if w["image"].lower().endswith("\\keyrack.exe")]

    def indicator(self, windows=None):
        """Keyrack's visible indicator popup (the dialog holding control 1020), or None."""
        for w in windows if windows is not None else self.keyrack_windows():
            if not w["image"].lower().endswith("\\keyrack.exe") or not w["visible"]:
                continue
            ids = {c["id"]: c for c in w.get("children", [])}
            if 1020 in ids and 1021 in ids:
                w["progress"] = ids[1020]["text"]
                w["slotname"] = ids[1021]["text"]
                w["lines"] = ids[1022]["text"] if 1022 in ids else ""
                return w
        return None

    def popup_menus(self):
        return [w for w in self.windows() if w["class"] == "#32768" and w["visible"]]

    # ---- X input and pictures ----------------------------------------------------------------
    def x(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)

    def chord(self, key="F1", until=None, timeout=15):
        """Left Ctrl + Left Shift + key, pressed and released as a person would. With `until`,
        the keys stay down until it returns something truthy (at most `timeout` seconds): on a
        loaded machine the desktop may take its time to pass the keys on, and a chord released
        before Keyrack saw it would be lost. A chord acts once per press however long it is
        held, and the keys go up as soon as its effect is seen. Returns `until`'s last
        value."""
        self.keep_keyboard_focus()
        self.x("keydown", "Control_L")
        self.x("keydown", "Shift_L")
        self.x("keydown", key)
        seen = None
        if until is None:
            time.sleep(0.15)
        else:
            seen = wait_for(until, timeout, interval=0.05)
        self.x("keyup", key)
        self.x("keyup", "Shift_L")
        self.x("keyup", "Control_L")
        return seen

    def click_tray(self, button=1):
        self.x("mousemove", str(TRAY_ICON_POINT[0]), str(TRAY_ICON_POINT[1]))
        self.x("click", str(button))

    def x_windows(self, program="keyrack.exe"):
        """Mapped X windows of a program's Win32 windows: [(id, (left, top, right, bottom))]."""
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", program],
                             env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             timeout=30)
        found = []
        for window in out.stdout.decode().split():
            info = subprocess.run(["xwininfo", "-id", window], env=self.env,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30)
            values = {}
            for line in info.stdout.decode().splitlines():
                if ":" in line:
                    key, _, value = line.strip().partition(":")
                    values[key.strip()] = value.strip()
            try:
                left = int(values["Absolute upper-left X"])
                top = int(values["Absolute upper-left Y"])
                rect = (left, top, left + int(values["Width"]), top + int(values["Height"]))
            except (KeyError, ValueError):
                continue
            found.append((window, rect))
        return found

    def focus(self, rect):
        """Gives the X focus to Keyrack's X window with this rectangle (a menu or a dialog):
        there is no window manager to do it, and keyboard input follows the X focus."""
        candidates = self.x_windows()
        chosen = [w for w, r in candidates if r == tuple(rect)]
        if not chosen and candidates:
            # The biggest one that is not a 1x1 helper window.
            sized = sorted(candidates, key=lambda c: (c[1][2] - c[1][0]) * (c[1][3] - c[1][1]))
            chosen = [sized[-1][0]]
        if chosen:
            self.x("windowfocus", "--sync", chosen[0])
        return bool(chosen)

    def keep_keyboard_focus(self):
        """Without a window manager, closing the X window that has the focus leaves it with
        PointerRoot, and keys then reach no Wine window, so no hotkey either; the Wine desktop
        window takes it back. A focus on a live window stays where it is."""
        out = subprocess.run(["xdotool", "getwindowfocus"], env=self.env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=30)
        if out.returncode != 0:
            found = subprocess.run(["xdotool", "search", "--name", "Wine desktop"], env=self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30)
            for window in found.stdout.decode().split()[:1]:
                self.x("windowfocus", "--sync", window)

    def focus_desktop(self):
        """Gives the X focus to Wine's shell desktop window (on a desktop with a window
        manager the keys would otherwise go to the terminal)."""
        out = subprocess.run(["xdotool", "search", "--name", "Wine desktop"], env=self.env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30)
        ids = out.stdout.decode().split()
        if ids:
            self.x("windowactivate", "--sync", ids[0])
            self.x("windowfocus", "--sync", ids[0])
        return bool(ids)

    def keys(self, *names, rect=None):
        if rect is not None:
            self.focus(rect)
        for name in names:
            self.x("key", name)
            time.sleep(0.06)

    def screenshot(self, path, crop=None):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        args = ["import", "-window", "root"]
        if crop:
            left, top, right, bottom = crop
            args += ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
        subprocess.run(args + [path], env=self.env, check=False, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def pixels(self, crop):
        """Distinct colours in a screen rectangle (to see whether something is drawn there)."""
        left, top, right, bottom = crop
        out = subprocess.run(
            ["import", "-window", "root", "-crop",
             "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage",
             "-format", "%k", "info:"],
            env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
        try:
            return int(out.stdout.decode().strip() or "0")
        except ValueError:
            return 0


def wait_for(condition, timeout, interval=0.2):
    """Polls `condition` until it returns something truthy or `timeout` seconds have passed;
    returns the last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def rect_of(window):
    return tuple(window["rect"])


def in_front_in_order(windows, slot):
    """Whether the slot's windows (in slot order) are the front-most ordinary windows, the last
    item on top and each earlier one under the next (topmost windows and Keyrack's aside)."""
    front = [w["hwnd"] for w in windows if w["visible"] and not w["exstyle"] & 0x8 and
             not w["image"].lower().endswith("\\keyrack.exe")]
    return all(slot) and front[:len(slot)] == [w["hwnd"] for w in reversed(slot)]


def find_slot_windows(windows, expected):
    """For each expected item {"image", "rect", "maximize"} the visible window of that program
    whose rectangle matches, or None; every window is used once."""
    used = set()
    found = []
    for item in expected:
        match = None
        for w in windows:
            if w["hwnd"] in used or not w["visible"]:
                continue
            if not w["image"].lower().endswith(item["image"].lower()):
                continue
            if w["owner"]:
                continue
            if item.get("maximize"):
                if w["zoomed"]:
                    match = w
                    break
            elif rect_of(w) == tuple(item["rect"]) and not w["iconic"]:
                match = w
                break
        if match:
            used.add(match["hwnd"])
        found.append(match)
    return found
