// A position edit of the slot editor that holds a number as it is typed: digits, and for X and
// Y an optional leading minus. A key or a paste that would make anything else is refused with a
// beep; the edit's text stays as it was.
#pragma once

#include <windows.h>

#include <string>

#include "framework/static_ctrl.h"

namespace keyrack {

class NumberEdit : public CStatic {
  public:
    explicit NumberEdit(bool allowMinus) : m_allowMinus(allowMinus) {}

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    // Puts `inserted` in place of the selection when the result is a number field's text.
    void Insert(const std::u16string& inserted);
    void Paste();

    bool m_allowMinus;
};

}  // namespace keyrack
