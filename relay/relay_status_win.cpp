#include "relay_status_win.h"

#include "relay_resource.h"

namespace {

const UINT kRefreshStatus = WM_APP + 1;
const int kRows = 6;

}  // namespace

CRelayStatusDlg::CRelayStatusDlg(StatusSource status, Started started)
    : CDialog(IDD_RELAY_STATUS), status_(std::move(status)), started_(std::move(started)) {}

void CRelayStatusDlg::Changed() {
  HWND window = shown_.load();
  if (window && !refresh_posted_.exchange(true)) PostMessageA(window, kRefreshStatus, 0, 0);
}

bool CRelayStatusDlg::OnInit() {
  shown_ = window_;
  ShowStatus();
  started_();
  return true;
}

bool CRelayStatusDlg::OnCommand(int code, int id, HWND) {
  // The close box and Escape; the window has no buttons to press.
  if (code == BN_CLICKED && id == IDCANCEL) {
    shown_ = NULL;
    EndDialog(id);
    return true;
  }
  return false;
}

bool CRelayStatusDlg::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  if (msg != kRefreshStatus) return false;
  refresh_posted_ = false;
  ShowStatus();
  result = 0;
  return true;
}

void CRelayStatusDlg::ShowStatus() {
  const std::vector<StatusRow> rows = StatusRows(status_());
  for (int i = 0; i < kRows; i++) {
    const bool shown = i < static_cast<int>(rows.size());
    SetItemText(IDC_RELAY_LABEL0 + i, shown ? rows[i].label + ":" : "");
    SetItemText(IDC_RELAY_VALUE0 + i, shown ? rows[i].value : "");
  }
}
