// Shows the indicator popup or the About box on the desktop so they can be looked at (and
// screenshotted): popups_show indicator | outcome | about [milliseconds].
// The indicator runs with two status lines; "outcome" shows it after the deployment's end.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <cwchar>
#include <memory>
#include <string>

#include "deploy/worker_status_list.h"
#include "framework/dialog_ex.h"
#include "framework/win_app.h"
#include "popups/app_about_dlg.h"
#include "popups/indicator_dlg.h"
#include "res/resource.h"

using namespace keyrack;

namespace {

void CALLBACK QuitAfter(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(0); }

void CALLBACK CloseAbout(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = ::FindWindowW(L"#32770", L"앱 정보");
    if (box != nullptr) ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring what = argc > 1 ? argv[1] : L"indicator";
    const UINT ms = argc > 2 ? static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)) : 5000;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LINK_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    if (what == L"about") {
        ::SetTimer(nullptr, 0, ms, &CloseAbout);
        AppAboutDlg about;
        about.m_shellOpen = nullptr;
        about.DoModal();
        return 0;
    }

    CDialogEx owner(IDD_MAIN);
    owner.Create();
    WorkerStatusList& status = workerStatusList();
    auto indicator = std::make_unique<IndicatorDlg>(status);
    indicator->Create(IDD_INDICATOR, owner.m_hWnd);
    indicator->ShowWindow(SW_SHOW);
    ::SetForegroundWindow(indicator->m_hWnd);
    indicator->SetSlotName(u"F1 작업 공간");
    const std::size_t a = status.Append();
    const std::size_t b = status.Append();
    status.Publish(a, u"메모장 창을 옮기는 중 (notepad.exe)");
    status.Publish(b, u"계산기 실행 중 (calc.exe)");
    if (what == L"outcome") {
        status.Clear();
        indicator->ShowOutcome(u"완료");
    }
    ::SetTimer(nullptr, 0, ms, &QuitAfter);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) AfxPumpMessage(msg);
    indicator->Finish();
    status.Clear();
    return 0;
}
