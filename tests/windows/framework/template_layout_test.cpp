// The template layout against the dialog manager itself: at 96 DPI every control and the window
// stay exactly where the dialog manager put them; at any other DPI each is its 96-DPI place
// times dpi / 96, and the controls that show the dialog font get it at that DPI.
#include "framework/template_layout.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "framework/dialog_ex.h"
#include "framework/dpi.h"
#include "res/resource.h"

namespace keyrack {
namespace {

struct Placed {
    RECT rect;  // in the dialog's client coordinates
    HFONT font;
};

std::vector<Placed> Children(HWND dialog) {
    std::vector<Placed> placed;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        placed.push_back({r, reinterpret_cast<HFONT>(::SendMessageW(c, WM_GETFONT, 0, 0))});
    }
    return placed;
}

RECT Scaled(const RECT& r, int dpi) {
    const int x = ScaleDpi(r.left, dpi), y = ScaleDpi(r.top, dpi);
    return {x, y, x + ScaleDpi(r.right - r.left, dpi), y + ScaleDpi(r.bottom - r.top, dpi)};
}

LONG FontHeight(HFONT font) {
    LOGFONTW f{};
    return ::GetObjectW(font, sizeof(f), &f) == static_cast<int>(sizeof(f)) ? f.lfHeight : 0;
}

class TemplateLayoutTest : public ::testing::TestWithParam<UINT> {};

TEST_P(TemplateLayoutTest, KeepsTheDesignAt96DpiAndScalesItExactlyElsewhere) {
    INITCOMMONCONTROLSEX links{sizeof(links), ICC_LINK_CLASS};
    ::InitCommonControlsEx(&links);
    CDialogEx dialog(GetParam());
    ASSERT_TRUE(dialog.Create(GetParam()));
    const HWND hwnd = dialog.m_hWnd;
    if (WindowDpi(hwnd) != kDesignDpi) GTEST_SKIP() << "the display is not at 96 DPI";
    const std::vector<Placed> design = Children(hwnd);
    ASSERT_GE(design.size(), 3u);
    RECT window{}, client{};
    ::GetWindowRect(hwnd, &window);
    ::GetClientRect(hwnd, &client);
    const HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));

    TemplateLayout layout(hwnd, kDesignDpi);
    layout.Apply(kDesignDpi);
    RECT again{};
    ::GetWindowRect(hwnd, &again);
    EXPECT_TRUE(::EqualRect(&again, &window));
    const std::vector<Placed> same = Children(hwnd);
    for (std::size_t i = 0; i < design.size(); ++i) {
        EXPECT_TRUE(::EqualRect(&same[i].rect, &design[i].rect)) << i;
        EXPECT_EQ(same[i].font, design[i].font) << i;
    }

    for (int dpi : {120, 144, 192, kDesignDpi}) {
        layout.Apply(dpi);
        RECT now{};
        ::GetClientRect(hwnd, &now);
        EXPECT_EQ(now.right, ScaleDpi(client.right, dpi)) << dpi;
        EXPECT_EQ(now.bottom, ScaleDpi(client.bottom, dpi)) << dpi;
        const std::vector<Placed> scaled = Children(hwnd);
        for (std::size_t i = 0; i < design.size(); ++i) {
            const RECT want = Scaled(design[i].rect, dpi);
            EXPECT_TRUE(::EqualRect(&scaled[i].rect, &want)) << dpi << " control " << i;
            if (design[i].font == dialogFont) {
                EXPECT_EQ(FontHeight(scaled[i].font), -::MulDiv(8, dpi, 72)) << dpi << " " << i;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, TemplateLayoutTest,
                         ::testing::Values(IDD_INDICATOR, IDD_ABOUTBOX));

}  // namespace
}  // namespace keyrack
