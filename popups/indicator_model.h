// What the indicator popup shows and where it sits, without the window: the opening
// animation, the final text and the placement above the taskbar.
#pragma once

#include <array>
#include <string>

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

// Top-left corner of a width x height popup 10 pixels (at 96 DPI, scaled to the popup's DPI)
// left of the taskbar's right end and above its top edge.
inline IndicatorPosition PlaceAboveTaskbar(const Rect& taskbar, int width, int height,
                                           int dpi = kDesignDpi) {
    const int gap = ScaleDpi(10, dpi);
    return {taskbar.right - width - gap, taskbar.top - height - gap};
}

}  // namespace keyrack
