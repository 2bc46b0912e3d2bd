// A modal dialog from a template resource. Messages reach virtual functions through one
// switch; `this` travels in DialogBoxParam's last argument and is kept in DWLP_USER (the
// window's GWLP_USERDATA stays free for the program).
#pragma once
#include "window.h"

class CDialog : public CWindow {
 public:
  explicit CDialog(int template_id) : _template_id(template_id) {}
  virtual ~CDialog() = default;

  INT_PTR DoModal();
  void EndDialog(INT_PTR result) { ::EndDialog(window_, result); }

 protected:
  // Each returns true when it handled the message.
  virtual bool OnInit() { return true; }  // the result of WM_INITDIALOG: true lets the system set the focus
  virtual bool OnCommand(int code, int id, HWND control);
  virtual bool OnPaint() { return false; }
  // Any other message; `result` is the message's answer.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }

  // From now on every message reaches OnEarlyMessage before the dialog manager. The dialog
  // manager stores each answer in DWLP_MSGRESULT, a round trip to the window server per
  // message under Wine; an answer given early spares it. Call it once, from OnInit.
  void AnswerMessagesEarly();
  // A message not yet seen by the dialog manager; `result` is its answer. Those it does not
  // handle go on to the dialog manager and then to the functions above.
  virtual bool OnEarlyMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }

  // Paints the icon centred in the client area of a minimised dialog.
  void PaintMinimizedIcon(HICON icon);

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK EarlyProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  int _template_id;
  WNDPROC _dialog_manager_proc = nullptr;  // behind EarlyProc once AnswerMessagesEarly ran
};
