// Dialogs from templates, modal and modeless. The object is kept in the dialog's DWLP_USER slot
// from WM_INITDIALOG on (it arrives as the lParam of DialogBoxParam / CreateDialogParam); each
// class handles messages in its own DialogProc and passes the rest to DialogProcDefault.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <vector>

namespace keyrack {

class CDialogEx {
  public:
    explicit CDialogEx(UINT templateId, HWND parent = nullptr);
    // Destroys the window if it still exists, without calling the class's procedure any more
    // (the derived parts are gone by then). A class that handles WM_DESTROY or WM_NCDESTROY
    // destroys its window in its own destructor.
    virtual ~CDialogEx();
    CDialogEx(const CDialogEx&) = delete;
    CDialogEx& operator=(const CDialogEx&) = delete;

    // Runs the dialog modally; the result is the EndDialog value, or -1 if it could not be made.
    INT_PTR DoModal();
    // Creates the dialog modeless. Without a parent the application's main window (if any,
    // and not this dialog) becomes its owner. FALSE if the window could not be made.
    BOOL Create(UINT templateId = 0, HWND parent = nullptr);
    BOOL DestroyWindow();
    // Modal: ends the dialog with the result. Modeless: hides it.
    void EndDialog(INT_PTR result);

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
    BOOL SetDlgItemText(int id, const wchar_t* text) const {
        return ::SetDlgItemTextW(m_hWnd, id, text);
    }
    // Centres the window over its owner, or over the work area of its monitor when the owner
    // is hidden, minimised or missing.
    void CenterWindow() const;
    LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendDlgItemMessageW(m_hWnd, id, msg, wParam, lParam);
    }

    // Any thread: runs `task` on the window's own thread, in its dialog procedure, after the
    // messages queued before it (the message loop, a modal loop and WaitWhileDispatching all
    // deliver it). False when there is no window or the post failed: the task is dropped
    // unrun. Tasks still queued when the object goes are dropped with it.
    bool PostTask(std::function<void()> task);

    HWND m_hWnd = nullptr;

  protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND; TRUE when handled. Unhandled IDOK / IDCANCEL go to OnOK / OnCancel.
    virtual BOOL OnCommand(WPARAM /*wParam*/, LPARAM /*lParam*/) { return FALSE; }
    // WM_NOTIFY; TRUE when handled, with *result going to DWLP_MSGRESULT.
    virtual BOOL OnNotify(WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT* /*result*/) {
        return FALSE;
    }
    // After the window is gone (m_hWnd is already null). The object may delete itself here.
    virtual void PostNcDestroy() {}

    // The class's own dialog procedure: a switch over the messages it handles, falling through
    // to DialogProcDefault. True when the message was handled, with `result` its result (0
    // unless set). The framework places the result where Windows looks for it: returned from
    // the dialog procedure for the messages that answer that way (WM_INITDIALOG, WM_CTLCOLOR*,
    // WM_QUERYDRAGICON, ...), in DWLP_MSGRESULT for every other.
    virtual bool DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool DialogProcDefault(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND OwnerForNewDialog(HWND parent) const;
    void RunPostedTasks();

    UINT m_templateId;
    HWND m_parent;
    bool m_modal = false;
    std::mutex m_tasksMutex;
    std::vector<std::function<void()>> m_tasks;
};

}  // namespace keyrack
