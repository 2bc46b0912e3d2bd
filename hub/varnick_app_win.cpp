#include "varnick_app.h"

#include <windows.h>
#include <commctrl.h>

#include "hub_message_win.h"
#include "link_protocol.h"
#include "module_path.h"
#include "settings_file.h"
#include "settings_path.h"
#include "varnick_dlg_win.h"

namespace {

// A second hub of a channel asks the running one to come to the front, then ends.
bool ActivateRunningHub(const std::string& channel_id) {
  HWND hidden = FindWindowA(channel_id.c_str(), NULL);
  if (!hidden) return false;
  if (HWND hub = GetWindow(hidden, GW_OWNER)) {
    DWORD process = 0;
    GetWindowThreadProcessId(hub, &process);
    AllowSetForegroundWindow(process);  // the user started this process: lend it the right
    // Bounded, so that a hung hub cannot hang its successor too.
    SendMessageTimeoutA(hub, link::kHubActivate, 0, 0, SMTO_ABORTIFHUNG, 5000, NULL);
  }
  return true;
}

}  // namespace

int CVarnickApp::Run() {
  InitInstance();
  ExitInstance();
  return 0;
}

void CVarnickApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, 0xFF};
  InitCommonControlsEx(&controls);

  std::string module_path;
  if (DWORD code = GetModulePath(module_path)) {
    ShowHubError("InitInstance: GetModuleFileNameA failed. \r\nErrorCode: %d \r\nErrorMessage: %s ",
                 code);
    return;
  }
  LoadXml(SettingsPath(module_path, BaseName(module_path), "qelv.xml"), settings_);

  if (ActivateRunningHub(settings_.channel_id)) return;

  WNDCLASSA hidden_class{};
  hidden_class.lpfnWndProc = DefWindowProcA;
  hidden_class.hInstance = GetModuleHandleA(NULL);
  hidden_class.lpszClassName = settings_.channel_id.c_str();
  if (!RegisterClassA(&hidden_class)) {
    ShowHubError("InitInstance: RegisterClass failed. \r\nErrorCode: %d \r\nErrorMessage: %s ",
                 GetLastError());
    return;
  }

  CVarnickDlg dialog(settings_);
  dialog.DoModal();
}

void CVarnickApp::ExitInstance() {
  // Also after an early end; unregistering a class this process never registered fails harmlessly.
  UnregisterClassA(settings_.channel_id.c_str(), GetModuleHandleA(NULL));
}
