#include "dialog.h"

namespace {

// The dialog procedure returns the answers of these messages itself; the dialog manager
// ignores DWLP_MSGRESULT for them.
bool AnsweredDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
  }
  return false;
}

// The dialog object behind a window, kept in DWLP_USER from WM_INITDIALOG on.
CDialog* DialogOf(HWND window) {
  return reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
}

}  // namespace

INT_PTR CDialog::DoModal() {
  return DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(_template_id), NULL,
                         DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::OnCommand(int code, int id, HWND) {
  if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL)) {
    EndDialog(id);
    return true;
  }
  return false;
}

void CDialog::PaintMinimizedIcon(HICON icon) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT r = ClientRect();
  int x = (r.right - r.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (r.bottom - r.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon);
  EndPaint(window_, &ps);
}

void CDialog::AnswerMessagesEarly() {
  _dialog_manager_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EarlyProc)));
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  switch (msg) {
    case WM_INITDIALOG:
      result = OnInit() ? TRUE : FALSE;
      break;
    case WM_COMMAND:
      return OnCommand(HIWORD(wp), LOWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_PAINT:
      return OnPaint() ? TRUE : FALSE;
    default:
      if (!OnMessage(msg, wp, lp, result)) return FALSE;
  }
  if (AnsweredDirectly(msg)) return result;
  SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* self;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lp);
    self->window_ = window;
    SetWindowLongPtrA(window, DWLP_USER, lp);
  } else {
    self = DialogOf(window);
  }
  if (!self) return FALSE;
  try {
    return self->Dispatch(msg, wp, lp);
  } catch (...) {
    return FALSE;
  }
}

// Goes in from OnInit, when DWLP_USER already holds `this`.
LRESULT CALLBACK CDialog::EarlyProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* self = DialogOf(window);
  LRESULT result = 0;
  try {
    if (self->OnEarlyMessage(msg, wp, lp, result)) return result;
  } catch (...) {
    return 0;
  }
  return CallWindowProcA(self->_dialog_manager_proc, window, msg, wp, lp);
}
