// The fonts a window's controls show. WM_SETFONT leaves a font to its maker, so the fonts a
// control shows are deleted only once it shows others: new fonts are handed to the controls
// first and the old ones go after.
#pragma once

#include <utility>

namespace keyrack {

template <typename Fonts>
class ShownFonts {
  public:
    // Hands `next` to the controls through `give`, then deletes the fonts they showed before.
    template <typename Give>
    void Show(Fonts next, Give&& give) {
        give(std::as_const(next));
        m_shown = std::move(next);
    }

  private:
    Fonts m_shown{};
};

}  // namespace keyrack
