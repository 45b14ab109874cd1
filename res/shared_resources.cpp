#include "res/shared_resources.h"

#include "platform/win32/win32_desktop.h"

namespace keyrack {

CFont fontMedium17;
CFont fontMedium15;
CFont fontBold20;
CFont fontExtraBold30;

PanelColours panelColoursLight{};
PanelColours panelColoursDark{};
// Bound from the start, so a reader during static initialisation never sees null.
PanelColourRefs panelColourRefs{&panelColoursLight.background, &panelColoursLight.text,
                                &panelColoursLight.border};

namespace {

constexpr const wchar_t* kFontFiles[] = {L"Pretendard-Medium.ttf", L"Pretendard-Bold.ttf",
                                         L"Pretendard-ExtraBold.ttf"};

HFONT MakeFont(int height, const wchar_t* face) {
    return ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, face);
}

// Makes the shared resources before the application object starts.
struct SharedResourcesInit {
    SharedResourcesInit() { InitSharedResources(); }
} g_sharedResourcesInit;

}  // namespace

std::array<std::wstring, 3> FontFilePaths() {
    const std::wstring folder = ExecutableFolderOfProcess().wstring() + L"\\font\\";
    return {folder + kFontFiles[0], folder + kFontFiles[1], folder + kFontFiles[2]};
}

void InitSharedResources() {
    panelColoursLight = {RGB(240, 240, 240), RGB(0, 0, 0), RGB(200, 200, 200)};
    panelColoursDark = {RGB(34, 33, 33), RGB(255, 255, 255), RGB(68, 67, 67)};
    panelColourRefs = {&panelColoursLight.background, &panelColoursLight.text,
                       &panelColoursLight.border};

    for (const std::wstring& path : FontFilePaths()) ::AddFontResourceW(path.c_str());

    fontMedium17.Attach(MakeFont(17, L"Pretendard Medium"));
    fontMedium15.Attach(MakeFont(15, L"Pretendard Medium"));
    fontBold20.Attach(MakeFont(20, L"Pretendard Bold"));
    fontExtraBold30.Attach(MakeFont(30, L"Pretendard ExtraBold"));
}

void RemoveFontFiles() {
    for (const std::wstring& path : FontFilePaths()) ::RemoveFontResourceW(path.c_str());
}

}  // namespace keyrack
