#include "lobrine_app.h"

#include <windows.h>
#include <commctrl.h>

#include "lobrine_dlg.h"
#include "module_path.h"
#include "setup_messages.h"

bool CLobrineApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  if (unsigned long code = GetModulePath(m_strModulePath)) {
    // A path the setup paths cannot hold is refused rather than cut into another path.
    const std::string text = code == ERROR_FILENAME_EXCED_RANGE
                                 ? PathTooLongText(m_strModulePath)
                                 : "GetModuleFileNameA failed (LastError = " +
                                       std::to_string(static_cast<int>(code)) + ")";
    MessageBoxA(NULL, text.c_str(), "Lobrine", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  CLobrineDlg dialog(*this);
  dialog.DoModal();
  return false;
}
