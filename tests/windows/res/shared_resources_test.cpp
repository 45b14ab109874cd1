// The shared fonts and colours: font files found beside the executable whatever the current
// directory, removed again at exit, the fonts made for a DPI, and the colour themes.
#include "res/shared_resources.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui_pump.h"

namespace keyrack {
namespace {

std::wstring MappedFace(const wchar_t* face, int height = 15) {
    HFONT font = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                               0, 0, 0, face);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    wchar_t mapped[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, mapped);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    ::DeleteObject(font);
    return mapped;
}

TEST(SharedFonts, FilesAreTakenFromBesideTheExecutableNotTheCurrentDirectory) {
    const SharedFonts fonts(96);  // adds the font files
    const std::wstring folder = testing::ModuleFolder();
    const auto paths = FontFilePaths();
    EXPECT_EQ(paths[0], folder + L"\\font\\Pretendard-Medium.ttf");
    EXPECT_EQ(paths[1], folder + L"\\font\\Pretendard-Bold.ttf");
    EXPECT_EQ(paths[2], folder + L"\\font\\Pretendard-ExtraBold.ttf");
    for (const std::wstring& path : paths)
        EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    // Run from a directory without a font folder, and still the faces are there.
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    if (std::wstring(current) == folder) {
        ASSERT_TRUE(::SetCurrentDirectoryW(L"C:\\"));
    }
    ::GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(::GetFileAttributesW((std::wstring(current) + L"\\font").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(MappedFace(L"Pretendard Medium"), L"Pretendard Medium");
    EXPECT_EQ(MappedFace(L"Pretendard ExtraBold"), L"Pretendard ExtraBold");
}

TEST(SharedFonts, RemoveFontFilesTakesOutOnlyWhatThisProcessAdded) {
    AddFontFiles();
    ASSERT_EQ(MappedFace(L"Pretendard Medium"), L"Pretendard Medium");
    RemoveFontFiles();
    // Heights not asked for before: Wine reuses a recently realised font for the same request.
    EXPECT_NE(MappedFace(L"Pretendard Medium", 23), L"Pretendard Medium");
    EXPECT_NE(MappedFace(L"Pretendard ExtraBold", 23), L"Pretendard ExtraBold");
    // Files added by someone else (as another Keyrack's are on Windows) stay where they are.
    const std::wstring medium = FontFilePaths()[0];
    ASSERT_GT(::AddFontResourceExW(medium.c_str(), FR_PRIVATE, nullptr), 0);
    RemoveFontFiles();
    EXPECT_EQ(MappedFace(L"Pretendard Medium", 25), L"Pretendard Medium");
    EXPECT_TRUE(::RemoveFontResourceExW(medium.c_str(), FR_PRIVATE, nullptr));
    // Added anew for the other tests of this process.
    AddFontFiles();
    EXPECT_EQ(MappedFace(L"Pretendard Medium", 24), L"Pretendard Medium");
    EXPECT_EQ(MappedFace(L"Pretendard ExtraBold", 24), L"Pretendard ExtraBold");
}

class SharedFontsAt : public ::testing::TestWithParam<int> {};

TEST_P(SharedFontsAt, FourFontsWithTheirFacesAndCellHeightsScaledToTheDpi) {
    const int dpi = GetParam();
    const SharedFonts fonts(dpi);
    EXPECT_EQ(fonts.Dpi(), dpi);
    struct Expect {
        HFONT font;
        const wchar_t* face;
        LONG height;  // at 96 DPI
    } expected[] = {{fonts.Medium17(), L"Pretendard Medium", 17},
                    {fonts.Medium15(), L"Pretendard Medium", 15},
                    {fonts.Bold20(), L"Pretendard Bold", 20},
                    {fonts.ExtraBold30(), L"Pretendard ExtraBold", 30}};
    for (const Expect& e : expected) {
        LOGFONTW font{};
        ASSERT_EQ(::GetObjectW(e.font, sizeof(font), &font), static_cast<int>(sizeof(font)));
        EXPECT_STREQ(font.lfFaceName, e.face);
        EXPECT_EQ(font.lfHeight, ::MulDiv(e.height, dpi, 96));
        EXPECT_EQ(font.lfWidth, 0);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
        EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(font.lfQuality, DEFAULT_QUALITY);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, SharedFontsAt, ::testing::Values(96, 120, 144, 192));

TEST(SharedFonts, EachSetIsItsOwnAndGoesWithIt) {
    HFONT first = nullptr;
    {
        const SharedFonts a(96);
        const SharedFonts b(96);
        EXPECT_NE(a.Medium15(), b.Medium15());
        first = a.Medium15();
        EXPECT_EQ(::GetObjectType(first), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(::GetObjectType(first), 0u) << "deleted with its set";
}

TEST(SharedColours, LightAndDarkThemes) {
    EXPECT_EQ(kPanelColoursLight.background, 0x00F0F0F0u);
    EXPECT_EQ(kPanelColoursLight.text, 0x00000000u);
    EXPECT_EQ(kPanelColoursLight.border, 0x00C8C8C8u);
    EXPECT_EQ(kPanelColoursDark.background, 0x00212122u);
    EXPECT_EQ(kPanelColoursDark.text, 0x00FFFFFFu);
    EXPECT_EQ(kPanelColoursDark.border, 0x00434344u);
}

}  // namespace
}  // namespace keyrack
