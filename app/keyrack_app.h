// The application object: start-up (crash filter, common controls, the data and crash folders
// beside the executable, the hidden main window) and shutdown.
#pragma once

#include <memory>
#include <string_view>

#include "app/keyrack_dlg.h"
#include "app/single_instance.h"
#include "framework/win_app.h"

namespace keyrack {

// Makes sure the folder `name` exists beside the executable; errors are ignored. True when this
// call made it.
bool EnsureFolder(std::wstring_view name);

class CKeyrackApp : public CWinApp {
  public:
    BOOL InitInstance() override;
    int ExitInstance() override;

  private:
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<CKeyrackDlg> m_dlg;
};

}  // namespace keyrack
