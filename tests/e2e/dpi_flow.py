"""End-to-end checks of Keyrack's own windows at the display scale of the run's Wine prefix, and
of a negative X typed into the editor by real keys.

KEYRACK_E2E_DPI=144 writes LogPixels = 144 into the run's prefix before Wine's desktop starts
(use it with a prefix of its own, KEYRACK_E2E_PREFIX, so the shared one stays at 96). Wine 8
has one DPI for every monitor and sends no WM_DPICHANGED, so this shows the system-DPI path;
the per-monitor path is shown by the host tests of the layout at several DPIs.
KEYRACK_E2E_ONLY=dpi runs only the start and these checks."""

import os
import subprocess
import time

from desktop import wait_for
from editor_flow import Editor, click, drag, notepad_windows, slot_dump

SCREEN = (1920, 1080)
# Sizes at 96 DPI on this desktop: the editor's window, and the indicator popup, the About box
# and its licence group as their dialog-unit templates come out with the prefix's dialog fonts.
EDITOR_96 = (1000, 750)
INDICATOR_96 = (473, 167)
ABOUT_96 = (547, 451)
ABOUT_LICENCE_96 = (516, 213)


def run_dpi():
    return int(os.environ.get("KEYRACK_E2E_DPI", "96"))


def set_prefix_dpi(env):
    """Before the desktop starts: the prefix's system DPI, when the run asks for one."""
    if "KEYRACK_E2E_DPI" not in os.environ:
        return
    subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                    "/t", "REG_DWORD", "/d", str(run_dpi()), "/f"], env=env, check=False,
                   timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def scaled(value, dpi):
    """MulDiv(value, dpi, 96): rounded, halves away from zero."""
    return (value * dpi + 48) // 96


def taskbar_top(desk):
    """The top edge of Wine's taskbar, which grows with the DPI."""
    bars = [w for w in desk.windows() if w["class"] == "Shell_TrayWnd"]
    return bars[0]["rect"][1] if bars else SCREEN[1]


def editor_rect(dpi, work_bottom):
    """1000 x 750 scaled, centred on the screen while that fits the work area, else shrunk to
    the work area and centred on it."""
    w, h = scaled(EDITOR_96[0], dpi), scaled(EDITOR_96[1], dpi)
    x, y = SCREEN[0] // 2 - w // 2, SCREEN[1] // 2 - h // 2
    left, top, right, bottom = 0, 0, SCREEN[0], work_bottom
    if x >= left and y >= top and x + w <= right and y + h <= bottom:
        return [x, y, x + w, y + h]
    w, h = min(w, right - left), min(h, bottom - top)
    x, y = left + (right - left - w) // 2, top + (bottom - top - h) // 2
    return [x, y, x + w, y + h]


def size(rect):
    return rect[2] - rect[0], rect[3] - rect[1]


def ink_height(path):
    """Rows of a screenshot holding dark (text) pixels: the height of the text drawn there."""
    out = subprocess.run(["convert", path, "-colorspace", "gray", "-threshold", "50%",
                          "-negate", "-trim", "-format", "%h %@", "info:"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
    try:
        return int(out.stdout.decode().split()[0])
    except (ValueError, IndexError):
        return 0


def test_editor_at_dpi(s, check, figures, shots):
    """Opens the editor for an empty slot: its size and place, its controls' sizes and the
    height of its label text follow the DPI."""
    dpi = run_dpi()
    ed = Editor(s, shots)
    window = ed.open_from_menu(6)
    want = editor_rect(dpi, taskbar_top(s.desk))
    check("dpi %d: the editor opens at %s, inside the work area" % (dpi, want),
          window and window["rect"] == want, str(window and window["rect"]))
    if not window:
        return None
    time.sleep(0.5)
    ed.shot("editor-dpi%d.png" % dpi)
    by = {c["id"]: c for c in window["children"]}
    sizes = {i: size(by[i]["rect"]) for i in (1007, 1, 1005) if i in by}
    figures["dpi %d: slot name edit, OK, X edit sizes" % dpi] = sizes
    check("dpi %d: controls scaled (slot name 346 x 25, OK 70 x 25, X 70 x 25 at 96)" % dpi,
          sizes.get(1007) == (scaled(346, dpi), scaled(25, dpi)) and
          sizes.get(1) == (scaled(70, dpi), scaled(25, dpi)) and
          sizes.get(1005) == (scaled(70, dpi), scaled(25, dpi)), str(sizes))
    inside = all(window["rect"][0] <= c["rect"][0] and c["rect"][2] <= window["rect"][2] and
                 window["rect"][1] <= c["rect"][1] and c["rect"][3] <= window["rect"][3]
                 for c in window["children"])
    check("dpi %d: every control inside the editor" % dpi, inside)
    # The label "슬롯 이름 :" in Pretendard Medium of cell height 15 scaled: its Hangul ink is
    # about three quarters of the cell; an unscaled font would give about half at 144.
    label = by.get(1026)
    if label:
        crop = os.path.join(shots, "editor-label-dpi%d.png" % dpi)
        s.desk.screenshot(crop, label["rect"])
        ink = ink_height(crop)
        figures["dpi %d: slot name label ink height (px)" % dpi] = ink
        cell = scaled(15, dpi)
        check("dpi %d: label text %d px high for a cell of %d" % (dpi, ink, cell),
              0.6 * cell <= ink <= cell)
    return window


def test_negative_x(s, check, shots, slotfile, data):
    """A Notepad captured, X typed as -300 by real keys (a letter in W refused), 저장, 확인:
    the slot file holds x = -300."""
    desk = s.desk
    dpi = run_dpi()
    ed = Editor(s, shots)
    if not ed.window():
        return
    # The Notepad to capture, in the top left corner, where the editor leaves some of it
    # uncovered even when it fills the work area.
    subprocess.Popen(["wine", "notepad"], env=s.env, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
    notes = wait_for(lambda: notepad_windows(desk), 30)
    if not check("dpi %d: a Notepad to capture opens" % dpi, notes):
        return
    left, top = notes[0]["rect"][:2]
    drag(desk, (left + 100, top + 10), (100, 10))
    wait_for(lambda: [w for w in notepad_windows(desk) if w["rect"][:2] == [0, 0]], 10)
    click(desk, 50, 200)
    filled = wait_for(lambda: ed.text("path"), 10, interval=0.05)
    if not check("dpi %d: a click on the Notepad fills the fields" % dpi, filled):
        return
    ed.activate()
    ed.click_id(1009)
    desk.keys("End", "shift+Home", "BackSpace")
    desk.x("type", "--delay", "60", "75a")
    time.sleep(0.5)
    check("dpi %d: W refuses a letter (\"75a\" typed gives 75)" % dpi, ed.text("w") == "75",
          str(ed.text("w")))
    ed.click_id(1005)
    desk.keys("End", "shift+Home", "BackSpace")
    desk.x("type", "--delay", "60", "--", "-300")
    typed = wait_for(lambda: ed.text("x") == "-300", 5)
    check("dpi %d: X takes -300 typed by keyboard" % dpi, typed, str(ed.text("x")))
    ed.shot("editor-negative-x-dpi%d.png" % dpi)
    ed.click_id(1006)
    wait_for(lambda: ed.fields()["list"]["count"] == 1, 10)
    ed.click_id(1)
    wait_for(lambda: ed.window() is None, 10)
    dump = wait_for(lambda: slot_dump(slotfile, data, 6), 10)
    items = dump["items"] if dump else []
    check("dpi %d: 확인 writes x = -300 into data\\6.slot" % dpi,
          len(items) == 1 and items[0]["x"] == -300 and items[0]["width"] == 75, str(dump))
    for w in notepad_windows(desk):
        click(desk, w["rect"][2] - scaled(12, dpi), w["rect"][1] + scaled(10, dpi))
    wait_for(lambda: not notepad_windows(desk), 20)


def test_indicator_at_dpi(s, check, figures, shots):
    """The popup of F5, a slot with no file: its 96-DPI size scaled, 10 scaled pixels left of
    the taskbar's right end and above its top. A slot without programs, because Wine draws the
    topmost popup behind the windows that other programs raise."""
    desk = s.desk
    dpi = run_dpi()
    desk.x("mousemove", "400", "500")
    ind = desk.chord("F5", until=desk.indicator, timeout=30) or wait_for(desk.indicator, 30)
    if not check("dpi %d: the F5 chord shows the indicator" % dpi, ind):
        return
    time.sleep(0.3)
    desk.screenshot(os.path.join(shots, "indicator-dpi%d.png" % dpi),
                    (ind["rect"][0] - 20, ind["rect"][1] - 20, 1920, 1080))
    w, h = size(ind["rect"])
    figures["dpi %d: indicator size" % dpi] = (w, h)
    gap = scaled(10, dpi)
    want = (scaled(INDICATOR_96[0], dpi), scaled(INDICATOR_96[1], dpi))
    check("dpi %d: the indicator is %s, %d px from the taskbar's corner" % (dpi, want, gap),
          (w, h) == want and
          ind["rect"][2] == SCREEN[0] - gap and ind["rect"][3] == taskbar_top(desk) - gap,
          "%s" % ind["rect"])
    wait_for(lambda: desk.indicator() is None, 90)


def test_about_at_dpi(s, check, figures, shots):
    """정보 opens the About box inside the screen: its client area, and so its licence group,
    exactly the DPI's factor times the 96-DPI size; the frame is the system's."""
    desk = s.desk
    dpi = run_dpi()
    desk.click_tray(1)
    menus = wait_for(desk.popup_menus, 10)
    if not check("dpi %d: the tray menu opens" % dpi, menus):
        return
    # Twelve slot entries, a separator and "Windows 시작 시 실행" come before 정보.
    desk.keys(*(["Down"] * 14), "Return", rect=menus[0]["rect"])
    about = wait_for(lambda: [w for w in desk.keyrack_windows() if w["visible"] and any(
        c["id"] == 1036 for c in w.get("children", []))], 10)
    if not check("dpi %d: 정보 opens the About box" % dpi, about):
        desk.screenshot(os.path.join(shots, "about-missing-dpi%d.png" % dpi))
        return
    rect = about[0]["rect"]
    time.sleep(0.5)
    desk.screenshot(os.path.join(shots, "about-dpi%d.png" % dpi), rect)
    w, h = size(rect)
    figures["dpi %d: About box size" % dpi] = (w, h)
    licence = [c for c in about[0]["children"] if c["id"] == 1039]
    group = size(licence[0]["rect"]) if licence else None
    figures["dpi %d: About box licence group size" % dpi] = group
    want = (scaled(ABOUT_LICENCE_96[0], dpi), scaled(ABOUT_LICENCE_96[1], dpi))
    factor = dpi / 96.0
    check("dpi %d: the About box's licence group is %s, the box about %.2f times %s, on the "
          "screen" % (dpi, want, factor, ABOUT_96),
          group == want and
          abs(w / (ABOUT_96[0] * factor) - 1) < 0.05 and
          abs(h / (ABOUT_96[1] * factor) - 1) < 0.05 and
          rect[0] >= 0 and rect[1] >= 0 and rect[2] <= SCREEN[0] and rect[3] <= SCREEN[1],
          "%s %s" % (rect, group))
    desk.keys("Escape", rect=rect)
    wait_for(lambda: not [w for w in desk.keyrack_windows() if w["visible"] and any(
        c["id"] == 1036 for c in w.get("children", []))], 10)


def run(s, check, figures, shots, slotfile, data):
    test_editor_at_dpi(s, check, figures, shots)
    test_negative_x(s, check, shots, slotfile, data)
    test_indicator_at_dpi(s, check, figures, shots)
    test_about_at_dpi(s, check, figures, shots)
