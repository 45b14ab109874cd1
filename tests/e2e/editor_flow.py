"""End-to-end tests of the slot editor: opened from the tray menu, filled by clicking a real
Notepad, checked from outside (the probe's view of the editor's controls, the slot files) and
by screenshots. Real mouse and keyboard input only."""

import json
import os
import subprocess
import threading
import time

from desktop import TASKBAR_TOP, wait_for

EDITOR_RECT = [460, 165, 1460, 915]  # 1000 x 750, centred on the 1920 x 1080 desktop
FIELDS = {"name": 1002, "path": 1003, "x": 1005, "y": 1008, "w": 1009, "h": 1010,
          "list": 1001, "slot_name": 1007}


class Editor:
    def __init__(self, s, shots):
        self.desk = s.desk
        self.shots = shots

    def windows(self):
        """Keyrack's visible windows holding the slot-name edit 1007: the open editors."""
        return [w for w in self.desk.keyrack_windows()
                if w["visible"] and any(c["id"] == 1007 for c in w.get("children", []))]

    def window(self):
        found = self.windows()
        return found[0] if found else None

    def fields(self):
        w = self.window()
        if not w:
            return None
        by = {c["id"]: c for c in w["children"]}
        return {name: by[i] for name, i in FIELDS.items() if i in by}

    def text(self, name):
        f = self.fields()
        return f[name]["text"] if f and name in f else None

    def click_id(self, control):
        """Clicks the middle of the editor's control with this id."""
        c = [c for c in self.window()["children"] if c["id"] == control][0]
        left, top, right, bottom = c["rect"]
        click(self.desk, (left + right) // 2, (top + bottom) // 2)

    def activate(self):
        # The right end of the caption, clear of the Notepad the tests move about.
        click(self.desk, EDITOR_RECT[2] - 60, EDITOR_RECT[1] + 10)
        time.sleep(0.3)

    def open_from_menu(self, slot_number):
        """Tray menu -> "[F<n>] 빈슬롯" -> 채우기 (the submenu's only entry)."""
        self.desk.click_tray(1)
        menus = wait_for(self.desk.popup_menus, 10)
        if not menus:
            return None
        self.desk.keys(*(["Down"] * slot_number), "Right", rect=menus[0]["rect"])
        wait_for(lambda: len(self.desk.popup_menus()) >= 2, 10)
        self.desk.keys("Return")
        return wait_for(self.window, 20)

    def shot(self, name):
        self.desk.screenshot(os.path.join(self.shots, name))


def click(desk, x, y, button="1"):
    """A click as long as a person's, not xdotool's instant one. Returns when the button went
    down (time.monotonic)."""
    desk.x("mousemove", str(x), str(y))
    pressed = time.monotonic()
    desk.x("mousedown", button)
    time.sleep(0.1)
    desk.x("mouseup", button)
    return pressed


def cpu_percent(pid, seconds):
    """The share of one processor the process used over the next `seconds` (from /proc)."""
    def ticks():
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])

    start, t0 = ticks(), time.monotonic()
    time.sleep(seconds)
    return round(100.0 * (ticks() - start) / os.sysconf("SC_CLK_TCK") /
                 (time.monotonic() - t0), 1)


def thread_cpu(pid, seconds):
    """The whole process's share of one processor over the next `seconds`, and the shares of
    its three busiest threads (the hotkey polling thread and, while the editor is open, the
    capture thread among them), from /proc."""
    def ticks():
        out = {}
        for tid in os.listdir("/proc/%d/task" % pid):
            try:
                with open("/proc/%d/task/%s/stat" % (pid, tid)) as f:
                    fields = f.read().rsplit(")", 1)[1].split()
                out[tid] = int(fields[11]) + int(fields[12])
            except OSError:
                pass
        return out

    start, t0 = ticks(), time.monotonic()
    time.sleep(seconds)
    end, elapsed = ticks(), time.monotonic() - t0
    scale = 100.0 / os.sysconf("SC_CLK_TCK") / elapsed
    used = sorted(((end[t] - start.get(t, 0)) * scale for t in end), reverse=True)
    return "%.1f (busiest threads %s)" % (sum(used), ", ".join("%.1f" % u for u in used[:3]))


def notepad_windows(desk):
    return [w for w in desk.windows()
            if w["image"].lower().endswith("\\notepad.exe") and w["visible"]]


def drag(desk, start, end, steps=10):
    """Presses the left button at `start`, moves to `end` in steps and lets go, as a person
    drags a caption (xdotool windowmove does not move Wine's own idea of the window). Returns
    when the last move began (time.monotonic): the window reaches its place then."""
    desk.x("mousemove", str(start[0]), str(start[1]))
    desk.x("mousedown", "1")
    for k in range(1, steps + 1):
        last = time.monotonic()
        desk.x("mousemove", str(start[0] + (end[0] - start[0]) * k // steps),
               str(start[1] + (end[1] - start[1]) * k // steps))
        time.sleep(0.05)
    desk.x("mouseup", "1")
    return last


def slot_dump(slotfile, data, number):
    out = subprocess.run([slotfile, "dump", data, str(number)], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, timeout=30)
    return json.loads(out.stdout) if out.returncode == 0 else None


def test_fill_slot(s, check, figures, shots, slotfile, data):
    desk = s.desk
    ed = Editor(s, shots)
    subprocess.Popen(["wine", "notepad"], env=s.env, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
    notes = wait_for(lambda: notepad_windows(desk), 30)
    if not check("editor: a Notepad to capture opens", notes):
        return
    # Wine cascades new windows: the Notepad goes to the top left corner first, so the clicks
    # below land on it and not on the editor, which opens in the middle.
    left, top = notes[0]["rect"][:2]
    drag(desk, (left + 200, top + 10), (200, 10))
    note = wait_for(lambda: [w for w in notepad_windows(desk) if w["rect"][:2] == [0, 0]], 10)
    if not check("editor: the Notepad moves to the top left corner", note,
                 str([w["rect"] for w in notepad_windows(desk)])):
        return
    note = note[0]

    window = ed.open_from_menu(3)
    check("editor: [F3] 빈슬롯 -> 채우기 opens 슬롯 채우기, 1000 x 750, centred",
          window and window["title"] == "슬롯 채우기" and window["rect"] == EDITOR_RECT,
          str(window and (window["title"], window["rect"])))
    if not window:
        return
    # Windows gives an owned window a taskbar button when it has WS_EX_APPWINDOW; Wine's
    # taskbar shows unowned windows only, so under Wine the editor has no button.
    mains = [t["hwnd"] for t in s.desk.tray_icons()]
    check("editor: owned by the hidden main window and marked WS_EX_APPWINDOW",
          window["owner"] in mains and window["exstyle"] & 0x40000,
          "owner %s, main %s, exstyle %x" % (window["owner"], mains, window["exstyle"]))
    check("editor: an empty list and the default name F3 슬롯",
          ed.fields()["list"]["count"] == 0 and ed.text("slot_name") == "F3 슬롯")
    ed.shot("editor-empty.png")

    # A click on the Notepad captures it; the watching probe times the fields to about 10 ms.
    left, top, right, bottom = note["rect"]
    watch = FieldWatch(desk)
    wait_for(lambda: (watch.latest() or (None,))[0] is not None, 20)
    pressed = click(desk, left + 100, top + 150)
    took = watch.delay(pressed, lambda path, x, y: path and x == str(left) and y == str(top))
    figures["editor: click to fields filled (s)"] = took and round(took, 2)
    filled = ed.text("path")
    check("editor: a click on Notepad fills path, name and X/Y/W/H",
          took is not None and filled and filled.lower().endswith("\\notepad.exe") and
          ed.text("name") == note["title"] and
          [ed.text(k) for k in ("x", "y", "w", "h")] ==
          [str(left), str(top), str(right - left), str(bottom - top)],
          str({k: ed.text(k) for k in ("path", "name", "x", "y", "w", "h")}))

    # Dragging the caption moves the numbers.
    last_move = drag(desk, (left + 200, top + 10), (left + 400, top + 110))
    moved = watch.delay(last_move, lambda path, x, y: (x, y) == (str(left + 200), str(top + 100)))
    watch.stop()
    figures["editor: window move to fields updated (s)"] = moved and round(moved, 2)
    now = notepad_windows(desk)
    check("editor: moving the Notepad moves the numbers", moved is not None,
          "fields %s, notepad %s" % ([ed.text(k) for k in ("x", "y")], now and now[0]["rect"]))
    ed.shot("editor-captured.png")
    # The captured Notepad in front, still: no event, nothing handed over.
    figures["editor: Keyrack CPU while tracking a still window (%)"] = cpu_percent(
        s.keyrack[0].pid, 5)

    # 저장 adds the list entry and empties the fields.
    ed.activate()
    ed.click_id(1006)
    saved = wait_for(lambda: ed.fields()["list"]["count"] == 1 and ed.text("path") == "", 10)
    check("editor: 저장 adds a list entry and empties the fields", saved)
    figures["editor: Keyrack CPU with the editor idle in front (%)"] = cpu_percent(
        s.keyrack[0].pid, 5)
    ed.shot("editor-saved.png")

    # A click on the taskbar captures nothing.
    click(desk, 1000, TASKBAR_TOP + 10)
    time.sleep(1)
    check("editor: a click on the taskbar captures nothing",
          ed.text("path") == "" and ed.fields()["list"]["count"] == 1,
          str(ed.text("path")))

    # A double-click brings the item back; a right click empties the fields again.
    ed.activate()
    entry = ed.fields()["list"]
    ll, lt, lr, lb = entry["rect"]
    desk.x("mousemove", str((ll + lr) // 2), str(lt + 20))
    desk.x("click", "--repeat", "2", "--delay", "80", "1")
    back = wait_for(lambda: ed.text("x") == str(left + 200), 10)
    check("editor: a double-click on the entry brings the item back", back,
          str({k: ed.text(k) for k in ("path", "x", "y")}))
    click(desk, EDITOR_RECT[0] + 600, EDITOR_RECT[1] + 60, "3")
    check("editor: a right click empties the fields",
          wait_for(lambda: ed.text("x") == "" and ed.text("path") == "", 10))

    # A typed name and 확인 write data\3.slot with the item and its rectangle.
    ed.click_id(1007)
    desk.keys("End", "shift+Home", "BackSpace")
    desk.x("type", "--delay", "40", "memo")
    typed = wait_for(lambda: ed.text("slot_name") == "memo", 5)
    ed.click_id(1)
    closed = wait_for(lambda: ed.window() is None, 10)
    dump = wait_for(lambda: slot_dump(slotfile, data, 3), 10)
    items = dump["items"] if dump else []
    check("editor: 확인 writes data\\3.slot with the typed name, the item and its rectangle",
          typed and closed and dump and dump["name"] == "memo" and len(items) == 1 and
          items[0]["path"].lower().endswith("\\notepad.exe") and
          [items[0][k] for k in ("x", "y", "width", "height")] ==
          [left + 200, top + 100, right - left, bottom - top],
          str(dump))
    return notepad_windows(desk)[0] if notepad_windows(desk) else None


def test_cancel_and_one_editor(s, check, shots, data):
    desk = s.desk
    ed = Editor(s, shots)
    window = ed.open_from_menu(4)
    if not check("editor: [F4] 빈슬롯 -> 채우기 opens the editor", window):
        return
    # A second 채우기 while the editor is open brings that one to the front.
    second = ed.open_from_menu(5)
    check("editor: a second 채우기 opens no second editor",
          second and len(ed.windows()) == 1 and ed.text("slot_name") == "F4 슬롯",
          str([w["rect"] for w in ed.windows()]))
    ed.click_id(2)
    closed = wait_for(lambda: ed.window() is None, 10)
    check("editor: 취소 closes it and writes no slot file",
          closed and not os.path.exists(os.path.join(data, "4.slot")) and
          not os.path.exists(os.path.join(data, "5.slot")))


def test_properties(s, check, shots, slotfile, data):
    """속성 of slot 1 (three items): the list and the preview show them; a double-click brings
    one back, 제거 removes it; 취소 leaves the slot file as it was."""
    desk = s.desk
    ed = Editor(s, shots)
    before = slot_dump(slotfile, data, 1)
    desk.click_tray(1)
    menus = wait_for(desk.popup_menus, 10)
    if not check("editor: the tray menu opens for 속성", menus):
        return
    # The submenu opens on its first program; up wraps to 속성.
    desk.keys("Down", "Right", rect=menus[0]["rect"])
    wait_for(lambda: len(desk.popup_menus()) >= 2, 10)
    desk.keys("Up", "Return")
    window = wait_for(ed.window, 20)
    count = window and ed.fields()["list"]["count"]
    check("editor: 속성 of a filled slot lists its three items", count == 3, str(count))
    if not window:
        return
    time.sleep(0.5)
    ed.shot("editor-three-items.png")
    entry = ed.fields()["list"]
    ll, lt, lr, lb = entry["rect"]
    # Icon view, one column: the second entry stands below the first.
    desk.x("mousemove", str((ll + lr) // 2), str(lt + 100))
    desk.x("click", "--repeat", "2", "--delay", "80", "1")
    item = before["items"][1] if before else {}
    back = wait_for(lambda: ed.text("x") == str(item.get("x")), 10)
    check("editor: a double-click brings an item back", back,
          str({k: ed.text(k) for k in ("path", "x", "y")}))
    ed.shot("editor-item-back.png")
    ed.click_id(1013)
    removed = wait_for(lambda: ed.fields()["list"]["count"] == 2 and ed.text("x") == "", 10)
    check("editor: 제거 removes it from the list", removed)
    ed.click_id(2)
    wait_for(lambda: ed.window() is None, 10)
    check("editor: 취소 after 제거 leaves the slot file as it was",
          slot_dump(slotfile, data, 1) == before)


def test_chord_after_fill(s, check, note):
    """After 확인 the captured Notepad belongs to slot 3: the chord minimises it and brings it
    back; once it is closed, the chord deploys a new Notepad at the saved rectangle."""
    desk = s.desk
    if not note:
        return
    hwnd = note["hwnd"]

    def state():
        return {w["hwnd"]: w for w in desk.windows()}.get(hwnd)

    minimised = desk.chord("F3", until=lambda: (state() or {}).get("iconic")) or \
        wait_for(lambda: (state() or {}).get("iconic"), 20)
    check("editor: after 확인 the F3 chord minimises the captured Notepad", minimised)
    back = desk.chord("F3", until=lambda: state() and not state()["iconic"]) or \
        wait_for(lambda: state() and not state()["iconic"], 20)
    check("editor: and the next chord brings it back", back)
    rect = state()["rect"] if state() else note["rect"]
    # Its close box, at the right end of the caption.
    click(desk, rect[2] - 12, rect[1] + 10)
    gone = wait_for(lambda: state() is None, 20)
    if not check("editor: the captured Notepad closes", gone):
        return

    def placed():
        return [w for w in notepad_windows(desk) if w["hwnd"] != hwnd and w["rect"] == rect]

    # The polling loop drops the slot's window list once its window is gone; a chord pressed
    # before that would toggle nothing, so it is pressed again until a Notepad appears.
    deployed = None
    for _ in range(5):
        deployed = desk.chord("F3", until=lambda: notepad_windows(desk) and
                              [w for w in notepad_windows(desk) if w["hwnd"] != hwnd])
        if deployed:
            break
        time.sleep(1)
    fresh = wait_for(placed, 30)
    check("editor: then the chord deploys a new Notepad at the saved rectangle", fresh,
          "expected %s, seen %s" % (rect, [(w["title"], w["rect"]) for w in notepad_windows(desk)]))
    # Nothing is left for the later tests: a Notepad in front would take their F1 chords as
    # its own help key.
    for w in notepad_windows(desk):
        click(desk, w["rect"][2] - 12, w["rect"][1] + 10)
    wait_for(lambda: not notepad_windows(desk), 20)


def test_save_refused(s, check, figures, shots, slotfile, data):
    """A second Notepad captured into slot 3 (one item); while another process holds 3.slot open
    for reading, shared for reading only, 확인 shows a message box owned by the editor, which stays
    open, and the file keeps its bytes. Once the holder lets go, 확인 saves both items."""
    desk, ed, slot_file = s.desk, Editor(s, shots), os.path.join(data, "3.slot")
    before, known = slot_dump(slotfile, data, 3), {w["hwnd"] for w in notepad_windows(desk)}
    subprocess.Popen(["wine", "notepad"], env=s.env, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
    fresh = wait_for(lambda: [w for w in notepad_windows(desk) if w["hwnd"] not in known], 30)
    drag(desk, (fresh[0]["rect"][0] + 200, fresh[0]["rect"][1] + 10), (200, 210))
    wait_for(lambda: [w for w in notepad_windows(desk) if w["rect"][:2] == [0, 200]], 10)
    desk.click_tray(1)
    desk.keys("Down", "Down", "Down", "Right", rect=wait_for(desk.popup_menus, 10)[0]["rect"])
    wait_for(lambda: len(desk.popup_menus()) >= 2, 10)
    desk.keys("Up", "Return")  # 속성
    wait_for(ed.window, 20)
    click(desk, 50, 350)  # the second Notepad, left of the first one and of the editor
    wait_for(lambda: ed.text("y") == "200", 10)
    ed.activate()
    ed.click_id(1006)
    old_bytes = open(slot_file, "rb").read()
    holder = subprocess.Popen(["wine", desk.probe_exe, "hold", "Z:" + slot_file.replace("/", "\\")],
                              env=s.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True)
    if not check("editor: slot 3 had one item, a second Notepad is listed, 3.slot is held",
                 len(before["items"]) == 1 and wait_for(lambda: ed.fields()["list"]["count"] == 2, 10)
                 and holder.stdout.readline().strip() == "held"):
        return holder.kill()
    editor_hwnd, pressed = ed.window()["hwnd"], time.monotonic()
    ed.click_id(1)
    box = wait_for(lambda: [w for w in desk.keyrack_windows() if w["visible"] and
                            w["class"] == "#32770" and w["owner"] == editor_hwnd], 15)
    figures["editor: 확인 to the message box of a held slot file (s)"] = \
        box and round(time.monotonic() - pressed, 1)
    texts = [c.get("text", "") for c in box[0].get("children", [])] if box else []
    ed.shot("editor-save-refused.png")
    kept = open(slot_file, "rb").read() == old_bytes
    check("editor: 확인 on a held slot file: a message box owned by the editor names the file, "
          "the editor stays open, the file keeps its bytes",
          box and ed.window() and kept and any("3.slot" in t for t in texts), str((texts, kept)))
    desk.keys("Return", rect=box[0]["rect"] if box else None)
    holder.communicate("\n", timeout=30)
    ed.activate()
    ed.click_id(1)
    after = wait_for(lambda: ed.window() is None and slot_dump(slotfile, data, 3), 15)
    check("editor: once the holder lets go, 확인 closes the editor and saves both items",
          after and len(after["items"]) == 2 and after["items"][0] == before["items"][0])
    click(desk, fresh[0]["rect"][2] - fresh[0]["rect"][0] - 12, 210)  # its close box


class FieldWatch:
    """The probe watching the editor's path, X and Y from outside every 10 ms; each change is
    stamped as its line arrives, so a click or a move is timed to about 10 ms instead of one
    probe run (about 0.3 s)."""

    IDS = (FIELDS["path"], FIELDS["x"], FIELDS["y"])

    def __init__(self, desk):
        self.seen = []  # (monotonic time, (path, x, y))
        self.lock = threading.Lock()
        self.process = subprocess.Popen(
            ["wine", desk.probe_exe, "watch", *map(str, self.IDS)], env=desk.env,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            try:
                texts = tuple(json.loads(line.decode("utf-8", "replace")))
            except ValueError:
                continue
            with self.lock:
                self.seen.append((time.monotonic(), texts))

    def latest(self):
        with self.lock:
            return self.seen[-1][1] if self.seen else None

    def delay(self, since, wanted, timeout=10):
        """Seconds from `since` to the first change after it whose texts satisfy `wanted`."""
        def found():
            with self.lock:
                return next(((t - since,) for t, texts in self.seen
                             if t >= since and texts[0] is not None and wanted(*texts)), None)
        took = wait_for(found, timeout, interval=0.01)
        return took[0] if took else None

    def stop(self):
        self.process.kill()
        self.process.wait(10)


def spread(values):
    """min / median / max of the timings, for the figures."""
    v = sorted(values)
    return "%.2f / %.2f / %.2f (n=%d)" % (v[0], v[len(v) // 2], v[-1], len(v)) if v else "-"


def test_capture_timing(s, check, figures, shots, rounds=6):
    """Two Notepads clicked in turn (each click a capture, the other window being the last
    captured) and dragged by their captions: how long until the fields show the click and the
    move, and Keyrack's CPU with the editor idle in front. Cancelled at the end."""
    desk = s.desk
    ed = Editor(s, shots)
    before = notepad_windows(desk)
    for _ in range(2 - len(before)):
        subprocess.Popen(["wine", "notepad"], env=s.env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    notes = wait_for(lambda: len(notepad_windows(desk)) >= 2 and notepad_windows(desk), 30)
    if not check("timing: two Notepads open", notes):
        return
    # Left of the editor, one above the other, each with a spot to click that neither the
    # other nor the editor covers. The front one goes first, uncovering the other's caption.
    places = [(0, 520), (0, 0)]
    spot = {(0, 0): 150, (0, 520): 280}
    for note, place in zip(notes[:2], places):
        left, top = note["rect"][:2]
        drag(desk, (left + 150, top + 10), (place[0] + 150, place[1] + 10))
    placed = wait_for(lambda: sorted(w["rect"][:2] for w in notepad_windows(desk)) ==
                      sorted(list(p) for p in places), 10)
    if not check("timing: the Notepads stand left of the editor", placed,
                 str([w["rect"] for w in notepad_windows(desk)])):
        return
    figures["timing: Keyrack CPU, no editor, 20 s (%)"] = thread_cpu(s.keyrack[0].pid, 20)
    if not check("timing: the editor opens", ed.open_from_menu(6)):
        return
    watch = FieldWatch(desk)
    if not check("timing: the watching probe sees the editor",
                 wait_for(lambda: (watch.latest() or (None,))[0] is not None, 20)):
        watch.stop()
        return
    clicks, moves = [], []
    for k in range(rounds):
        place = places[k % 2]
        note = [w for w in notepad_windows(desk) if w["rect"][:2] == list(place)][0]
        left, top = note["rect"][:2]
        pressed = click(desk, left + 100, top + spot[place])
        took = watch.delay(pressed, lambda path, x, y: x == str(left) and y == str(top) and path)
        if took is not None:
            clicks.append(took)
        # There and back: the next round finds the window where it was.
        for dx, dy in ((30, 20), (-30, -20)):
            x, y = left + 200 + (dx < 0) * 30, top + 10 + (dy < 0) * 20
            moved = drag(desk, (x, y), (x + dx, y + dy), steps=3)
            want = (str(left + (30 if dx > 0 else 0)), str(top + (20 if dy > 0 else 0)))
            took = watch.delay(moved, lambda path, x, y: (x, y) == want)
            if took is not None:
                moves.append(took)
    watch.stop()
    check("timing: every click captured", len(clicks) == rounds, str(len(clicks)))
    check("timing: every move followed", len(moves) == 2 * rounds, str(len(moves)))
    figures["timing: click to fields filled, min/median/max (s)"] = spread(clicks)
    figures["timing: move to fields updated, min/median/max (s)"] = spread(moves)
    for what, times in (("click to fields filled", clicks), ("move to fields updated", moves)):
        median = sorted(times)[len(times) // 2] if times else None
        check("timing: %s within 0.3 s (median)" % what, median is not None and median <= 0.3,
              str(median))
    ed.activate()
    figures["timing: Keyrack CPU, editor idle in front, 20 s (%)"] = thread_cpu(
        s.keyrack[0].pid, 20)
    ed.click_id(2)
    check("timing: 취소 closes the editor", wait_for(lambda: ed.window() is None, 10))
    for w in notepad_windows(desk):
        click(desk, w["rect"][2] - 12, w["rect"][1] + 10)
    wait_for(lambda: not notepad_windows(desk), 20)
