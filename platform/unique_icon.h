// Owns one icon handle and destroys it through the desktop seam.
#pragma once

#include <utility>

#include "platform/desktop.h"

namespace keyrack {

class UniqueIcon {
public:
    UniqueIcon() = default;
    UniqueIcon(Desktop& desktop, IconHandle icon) : m_desktop(&desktop), m_icon(icon) {}
    UniqueIcon(UniqueIcon&& other) noexcept
        : m_desktop(other.m_desktop), m_icon(std::exchange(other.m_icon, 0)) {}
    UniqueIcon& operator=(UniqueIcon&& other) noexcept {
        if (this != &other) {
            Reset();
            m_desktop = other.m_desktop;
            m_icon = std::exchange(other.m_icon, 0);
        }
        return *this;
    }
    UniqueIcon(const UniqueIcon&) = delete;
    UniqueIcon& operator=(const UniqueIcon&) = delete;
    ~UniqueIcon() { Reset(); }

    IconHandle Get() const { return m_icon; }
    void Reset() {
        if (m_icon != 0 && m_desktop != nullptr) m_desktop->DestroyIcon(m_icon);
        m_icon = 0;
    }

private:
    Desktop* m_desktop = nullptr;
    IconHandle m_icon = 0;
};

}  // namespace keyrack
