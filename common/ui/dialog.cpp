#include "dialog.h"

INT_PTR CDialog::DoModal(HWND parent) {
  return DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(_template_id), parent,
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
  HDC dc = BeginPaint(_window, &ps);
  SendMessageA(_window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT r = ClientRect();
  int x = (r.right - r.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (r.bottom - r.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon);
  EndPaint(_window, &ps);
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
      return OnCommand(HIWORD(wp), LOWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_PAINT:
      return OnPaint() ? TRUE : FALSE;
  }
  LRESULT result = 0;
  if (!OnMessage(msg, wp, lp, result)) return FALSE;
  if (msg == WM_QUERYDRAGICON || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORDLG) return result;
  SetWindowLongPtrA(_window, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* self;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lp);
    self->_window = window;
    SetWindowLongPtrA(window, DWLP_USER, lp);
  } else {
    self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  }
  if (!self) return FALSE;
  try {
    return self->Dispatch(msg, wp, lp);
  } catch (...) {
    return FALSE;
  }
}
