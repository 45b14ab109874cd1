// What the indicator popup shows and where it sits, without the window: the opening
// animation, the final text and the placement beside the taskbar.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "platform/desktop.h"
#include "platform/dpi_scale.h"

namespace keyrack {

// Opening texts, one to three dots.
inline const std::array<std::u16string, 3> kIndicatorPhaseTexts = {u"여는 중.", u"여는 중..",
                                                                   u"여는 중..."};

// The progress line's animation. The counter runs 1, 2, ..., 29, 1, ... and selects the phase
// counter / 10, so a phase lasts ten cycles (nine for the first of each round). Once the
// deployment is done the counter stands still and the final text is shown.
class IndicatorAnimation {
  public:
    explicit IndicatorAnimation(
        const std::array<std::u16string, 3>& phaseTexts = kIndicatorPhaseTexts)
        : m_phaseTexts(phaseTexts) {}
    // One refresh cycle: the progress text to show.
    const std::u16string& Next(bool done, const std::u16string& finalText) {
        if (done) return finalText;
        m_counter = m_counter + 1 < 30 ? m_counter + 1 : 1;
        return m_phaseTexts[static_cast<std::size_t>(m_counter / 10)];
    }
    int Counter() const { return m_counter; }

  private:
    const std::array<std::u16string, 3>& m_phaseTexts;
    int m_counter = 0;
};

struct IndicatorPosition {
    int x = 0, y = 0;
    friend bool operator==(const IndicatorPosition&, const IndicatorPosition&) = default;
};

enum class TaskbarEdge { kBottom, kTop, kLeft, kRight };

// The screen edge the taskbar lies along: from its shape and which half of the monitor holds
// it; without a rectangle, the side where the work area leaves the most of the monitor free
// (the bottom when none does).
inline TaskbarEdge EdgeOfTaskbar(const Rect& monitor, const Rect& work, const Rect& taskbar) {
    if (taskbar.Width() > 0 && taskbar.Height() > 0) {
        if (taskbar.Width() >= taskbar.Height())
            return taskbar.top + taskbar.bottom < monitor.top + monitor.bottom
                       ? TaskbarEdge::kTop
                       : TaskbarEdge::kBottom;
        return taskbar.left + taskbar.right < monitor.left + monitor.right ? TaskbarEdge::kLeft
                                                                           : TaskbarEdge::kRight;
    }
    TaskbarEdge edge = TaskbarEdge::kBottom;
    int widest = monitor.bottom - work.bottom;
    const std::pair<TaskbarEdge, int> others[] = {
        {TaskbarEdge::kTop, work.top - monitor.top},
        {TaskbarEdge::kLeft, work.left - monitor.left},
        {TaskbarEdge::kRight, monitor.right - work.right}};
    for (const auto& [side, free] : others) {
        if (free <= widest) continue;
        edge = side;
        widest = free;
    }
    return edge;
}

// Top-left corner of a width x height popup beside the taskbar, 10 pixels (at 96 DPI, scaled to
// the popup's DPI) off it and off its end nearest the notification area: the right end of a
// bottom or top taskbar, the bottom end of a side one. Without a taskbar rectangle the work
// area's edge stands for it. The popup is kept inside the work area.
inline IndicatorPosition PlaceBesideTaskbar(const Rect& monitor, const Rect& work,
                                            const Rect& taskbar, int width, int height,
                                            int dpi = kDesignDpi) {
    const int gap = ScaleDpi(10, dpi);
    const TaskbarEdge edge = EdgeOfTaskbar(monitor, work, taskbar);
    const bool present = taskbar.Width() > 0 && taskbar.Height() > 0;
    const Rect bar = present ? taskbar : work;
    int x = bar.right - width - gap, y = bar.bottom - height - gap;
    switch (edge) {
        case TaskbarEdge::kBottom:
            y = (present ? bar.top : bar.bottom) - height - gap;
            break;
        case TaskbarEdge::kTop:
            y = (present ? bar.bottom : bar.top) + gap;
            break;
        case TaskbarEdge::kLeft:
            x = (present ? bar.right : bar.left) + gap;
            break;
        case TaskbarEdge::kRight:
            x = (present ? bar.left : bar.right) - width - gap;
            break;
    }
    // Left and top win when the popup is larger than the work area.
    x = std::max(std::min(x, work.right - width), work.left);
    y = std::max(std::min(y, work.bottom - height), work.top);
    return {x, y};
}

}  // namespace keyrack
