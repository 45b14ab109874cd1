#include "res/shared_resources.h"

#include <mutex>

#include "platform/dpi_scale.h"
#include "platform/win32/win32_desktop.h"

namespace keyrack {
namespace {

constexpr const wchar_t* kFontFiles[] = {L"Pretendard-Medium.ttf", L"Pretendard-Bold.ttf",
                                         L"Pretendard-ExtraBold.ttf"};

HFONT MakeFont(int height, int dpi, const wchar_t* face) {
    return ::CreateFontW(ScaleDpi(height, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, face);
}

// Which of the files this process has added: only those are taken out again, so that a
// process that never added them (or failed to) removes nothing.
struct AddedFontFiles {
    std::mutex lock;
    bool tried = false;
    std::array<bool, 3> added{};
};

AddedFontFiles& Added() {
    static AddedFontFiles files;
    return files;
}

}  // namespace

SharedFonts::SharedFonts(int dpi) : m_dpi(dpi) {
    AddFontFiles();
    m_medium17.Attach(MakeFont(17, dpi, L"Pretendard Medium"));
    m_medium15.Attach(MakeFont(15, dpi, L"Pretendard Medium"));
    m_bold20.Attach(MakeFont(20, dpi, L"Pretendard Bold"));
    m_extraBold30.Attach(MakeFont(30, dpi, L"Pretendard ExtraBold"));
}

std::array<std::wstring, 3> FontFilePaths() {
    const std::wstring folder = ExecutableFolderOfProcess().wstring() + L"\\font\\";
    return {folder + kFontFiles[0], folder + kFontFiles[1], folder + kFontFiles[2]};
}

void AddFontFiles() {
    AddedFontFiles& files = Added();
    const std::lock_guard hold(files.lock);
    if (files.tried) return;
    files.tried = true;
    const auto paths = FontFilePaths();
    for (std::size_t i = 0; i < paths.size(); ++i)
        files.added[i] = ::AddFontResourceExW(paths[i].c_str(), FR_PRIVATE, nullptr) > 0;
}

void RemoveFontFiles() {
    AddedFontFiles& files = Added();
    const std::lock_guard hold(files.lock);
    const auto paths = FontFilePaths();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (files.added[i]) ::RemoveFontResourceExW(paths[i].c_str(), FR_PRIVATE, nullptr);
    }
    files.tried = false;
    files.added = {};
}

}  // namespace keyrack
