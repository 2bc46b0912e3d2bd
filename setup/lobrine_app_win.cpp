#include "lobrine_app.h"

#include <windows.h>
#include <commctrl.h>

#include "lobrine_dlg_win.h"
#include "module_path.h"
#include "setup_messages.h"

bool CLobrineApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  if (unsigned long code = GetModulePath(m_strModulePath)) {
    MessageBoxA(NULL, ModulePathFailedText(code, m_strModulePath).c_str(), "Lobrine",
                MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  CLobrineDlg dialog(*this);
  dialog.DoModal();
  return false;
}
