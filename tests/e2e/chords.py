"""End-to-end tests of the chords as registered hotkeys, with real X key events: the program in
front never gets the chord's F key, a right-side chord does nothing, a chord another program
holds before Keyrack starts is named in the run log and the tray menu while the other chords
work, and an idle Keyrack uses no processor time and wakes no thread.

The project's own keyrack_e2e_keys.exe records the key messages of the window in front and
holds a chord as another program would."""

import os
import re
import shutil
import subprocess
import time

from demo_slots import expected_windows
from desktop import find_slot_windows, in_front_in_order, wait_for

KEYS_TITLE = "Keyrack e2e keys"
HELD = 7  # the chord another program holds
VK_F = 0x70 - 1  # VK_F1 - 1: VK of F<n> is VK_F + n
VK_SHIFT, VK_CONTROL = 0x10, 0x11
SCAN_RIGHT_SHIFT = 0x36


def keycode(desk, name):
    """The X keycode of the key named `name` in the server's keymap (RCTL, RTSH): xdotool given
    a keysym name may press another key with the same modifier meaning (Control_R arrives with
    Control_L), a keycode it presses as it is."""
    out = subprocess.run(["xkbcomp", "-xkb", desk.env["DISPLAY"], "-"], env=desk.env,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30)
    match = re.search(r"<%s>\s*=\s*(\d+)\s*;" % name, out.stdout.decode("ascii", "replace"))
    return match.group(1) if match else None


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


class Chords:
    def __init__(self, s, check, figures, shots, app, build, work):
        self.s, self.check, self.figures, self.shots, self.app = s, check, figures, shots, app
        self.keys_exe = os.path.join(work, "progs", "keyrack_e2e_keys.exe")
        os.makedirs(os.path.dirname(self.keys_exe), exist_ok=True)
        shutil.copy(os.path.join(build, "tests", "e2e", "keyrack_e2e_keys.exe"), self.keys_exe)
        self.record = os.path.join(work, "keys-record.txt")
        self.started = []
        self.recorder = None

    def program(self, *args):
        process = subprocess.Popen(["wine", self.keys_exe] + list(args), env=self.s.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.started.append(process)
        return process

    def window_titled(self, title):
        found = [w for w in self.s.desk.windows() if w["title"] == title]
        return found[0] if found else None

    def log_text(self):
        raw = self.s.log_bytes() or b""
        return raw.decode("cp949", "replace")

    # ---- before Keyrack starts ---------------------------------------------------------------
    def hold_chord(self):
        self.program("hold", str(HELD))
        return self.check("another program holds Ctrl+Shift+F%d before Keyrack starts" % HELD,
                          wait_for(lambda: self.window_titled("Keyrack e2e holds F%d" % HELD),
                                   30))

    # ---- with Keyrack running ----------------------------------------------------------------
    def test_held_chord_named(self):
        text = wait_for(lambda: "단축키" in self.log_text() and self.log_text(), 10) or ""
        lines = [line for line in text.split("\r\n") if "단축키" in line]
        self.check("held F%d: the run log names it at start-up" % HELD,
                   len(lines) == 1 and lines[0].startswith("F%d " % HELD) and
                   "다른 프로그램" in lines[0], repr(lines))
        self.s.desk.click_tray(1)
        menus = wait_for(self.s.desk.popup_menus, 10)
        if self.check("held F%d: the tray menu opens" % HELD, menus):
            left, top, right, bottom = menus[0]["rect"]
            self.s.desk.screenshot(os.path.join(self.shots, "tray-menu-f%d-held.png" % HELD),
                                   (left - 5, top - 5, right + 5, bottom + 5))
            self.s.desk.keys("Escape", rect=menus[0]["rect"])
            wait_for(lambda: not self.s.desk.popup_menus(), 10)

    def front_recorder(self):
        """Starts the key recorder, brings it to the front and checks that it receives keys."""
        # A fresh one each time, under a title of its own, opens on top of what the tests before
        # left on the desktop.
        if self.recorder and self.recorder.poll() is None:
            self.recorder.kill()
            self.recorder.wait(10)
        if os.path.exists(self.record):
            os.remove(self.record)
        title = "%s %d" % (KEYS_TITLE, len(self.started))
        self.recorder = self.program("record", wine_path(self.record), title)
        window = wait_for(lambda: self.window_titled(title), 30)
        if not window:
            return False
        left, top, right, bottom = window["rect"]
        self.s.desk.x("mousemove", str((left + right) // 2), str((top + bottom) // 2))
        self.s.desk.x("click", "1")
        self.focus_recorder()
        self.s.desk.x("key", "a")
        return wait_for(lambda: "down 65 " in self.recorded(), 10)

    def focus_recorder(self):
        # X may keep the keyboard focus on a window that opened meanwhile.
        found = self.s.desk.x_windows("keyrack_e2e_keys.exe")
        if found:
            self.s.desk.x("windowfocus", "--sync", found[0][0])

    def recorded(self):
        try:
            with open(self.record) as f:
                return f.read()
        except OSError:
            return ""

    def test_front_program_misses_the_f_key(self):
        if not self.check("the key recorder is in front and receives keys", self.front_recorder(),
                          self.recorded()):
            return
        before = {w["hwnd"] for w in self.s.desk.windows()}
        expected = expected_windows(1)
        mark = len(self.recorded())

        def placed():
            fresh = [w for w in self.s.desk.windows() if w["hwnd"] not in before]
            return all(find_slot_windows(fresh, expected))

        self.focus_recorder()
        self.s.desk.chord("F1", until=self.s.desk.indicator)
        deployed = wait_for(placed, 60) and wait_for(lambda: not self.s.desk.indicator(), 30)
        seen = self.recorded()[mark:].split("\n")
        f1 = VK_F + 1
        self.check("F1 with the recorder in front: the slot is deployed (F%d held elsewhere)"
                   % HELD, deployed)
        self.check("F1: the program in front gets no key-down of F1",
                   not any(line.startswith("down %d " % f1) for line in seen), repr(seen))
        self.figures["key messages the front program got for the F1 chord"] = " | ".join(
            line for line in seen if line)
        slot = find_slot_windows([w for w in self.s.desk.windows() if w["hwnd"] not in before],
                                 expected)
        self.check("F1: the slot's windows end in front of the recorder, the last item on top",
                   in_front_in_order(self.s.desk.windows(), slot))
        # Minimised, the recorder in front again, and raised.
        ours = {w["hwnd"] for w in slot if w}
        self.s.desk.chord("F1", until=lambda: all(w["iconic"] for w in self.s.desk.windows()
                                                  if w["hwnd"] in ours))
        self.focus_recorder()
        on_top = lambda: in_front_in_order(self.s.desk.windows(), slot)  # noqa: E731
        self.check("F1 twice with the recorder in front: the slot's windows come back on top of "
                   "it, the last item in front", self.s.desk.chord("F1", until=on_top) or
                   wait_for(on_top, 20))

    def test_right_side_chord(self):
        desk = self.s.desk
        control_r, shift_r = keycode(desk, "RCTL"), keycode(desk, "RTSH")
        if not self.check("right-side keys have keycodes", control_r and shift_r):
            return
        if not self.front_recorder():
            self.check("right-side chord: the recorder is in front", False)
            return
        mark = len(self.recorded())
        before = {w["hwnd"] for w in desk.windows()}
        desk.x("keydown", control_r)
        desk.x("keydown", shift_r)
        desk.x("keydown", "F2")
        shown = wait_for(desk.indicator, 3)
        desk.x("keyup", "F2")
        desk.x("keyup", shift_r)
        desk.x("keyup", control_r)
        shown = shown or wait_for(desk.indicator, 3)
        seen = self.recorded()[mark:].split("\n")
        right_keys = (any(line.startswith("down %d " % VK_CONTROL) and line.endswith(" ext")
                          for line in seen) and
                      any(line.startswith("down %d %d" % (VK_SHIFT, SCAN_RIGHT_SHIFT))
                          for line in seen))
        left_keys = any(line.startswith("down %d " % VK_CONTROL) and not line.endswith(" ext")
                        for line in seen)
        self.check("right-side chord: Right Ctrl and Right Shift were pressed, no left key",
                   right_keys and not left_keys, repr(seen))
        fresh = [w for w in desk.windows() if w["hwnd"] not in before and w["visible"]]
        self.check("right-side chord for F2 deploys nothing", not shown and not
                   [w for w in fresh if w["image"].lower().endswith(("wordpad.exe",
                                                                     "notepad.exe"))] and
                   "F2슬롯 전개" not in self.log_text(), str(fresh))
        # The same slot with the left keys: it deploys, so the right-side chord was the cause.
        self.focus_recorder()
        desk.chord("F2", until=desk.indicator)
        self.check("the left-side chord for F2 then deploys it",
                   "F2슬롯 전개" in self.log_text() or wait_for(
                       lambda: "F2슬롯 전개" in self.log_text(), 60))
        wait_for(lambda: not desk.indicator(), 60)

    def measure_idle(self, process, seconds=30):
        """CPU share of keyrack.exe and of the Wine server over `seconds` with nothing
        happening, and how often the program's threads woke (context switches)."""
        server = wine_server_pid(self.s.env["WINEPREFIX"])

        def sample():
            cpu = {"keyrack": process_ticks(process.pid),
                   "server": process_ticks(server) if server else 0}
            return cpu, thread_switches(process.pid)

        time.sleep(3)  # the start-up settles
        (cpu0, switches0), t0 = sample(), time.monotonic()
        time.sleep(seconds)
        (cpu1, switches1), elapsed = sample(), time.monotonic() - t0
        tick = os.sysconf("SC_CLK_TCK")
        share = {k: round(100.0 * (cpu1[k] - cpu0[k]) / tick / elapsed, 2) for k in cpu0}
        woke = switches1 - switches0
        self.figures["idle %d s: keyrack.exe CPU (%% of a core)" % seconds] = share["keyrack"]
        self.figures["idle %d s: wineserver CPU (%% of a core)" % seconds] = (
            share["server"] if server else "not found")
        self.figures["idle %d s: keyrack.exe thread wake-ups" % seconds] = woke
        self.check("idle: keyrack.exe uses at most 0.3 %% of a core (%.2f %%)" % share["keyrack"],
                   share["keyrack"] <= 0.3)
        return share, woke

    def stop(self):
        for process in self.started:
            if process.poll() is None:
                process.kill()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                pass


def process_ticks(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])
    except OSError:
        return 0


def thread_switches(pid):
    total = 0
    try:
        tasks = os.listdir("/proc/%d/task" % pid)
    except OSError:
        return 0
    for task in tasks:
        try:
            with open("/proc/%d/task/%s/status" % (pid, task)) as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def wine_server_pid(prefix):
    """The Wine server of this prefix: it works in a folder named server-<dev>-<inode> of the
    prefix folder."""
    info = os.stat(prefix)
    folder = "server-%x-%x" % (info.st_dev, info.st_ino)
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.path.basename(os.readlink("/proc/%s/cwd" % pid)) == folder:
                return int(pid)
        except OSError:
            pass
    return None


def run(s, check, figures, shots, app, build, work, start, only_idle=False):
    """Starts a program holding F7, then Keyrack (through `start`, which returns whether its
    tray icon appeared), and runs the chord tests with the idle measure first; ends the holder
    and the recorders. With `only_idle`, only Keyrack and the idle measure."""
    chords = Chords(s, check, figures, shots, app, build, work)
    try:
        if only_idle:
            if start():
                chords.measure_idle(s.keyrack[-1])
            return
        if not chords.hold_chord() or not start():
            return
        chords.test_held_chord_named()
        chords.measure_idle(s.keyrack[-1])
        chords.test_front_program_misses_the_f_key()
        chords.test_right_side_chord()
    finally:
        chords.stop()
