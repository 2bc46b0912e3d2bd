// The hub's dialog: the endpoint of the link. It keeps the terminal registry, accepts master
// images, publishes the checksum of the image set in its GWLP_USERDATA, answers slaves with
// the set, drops silent terminals and paints the status panel.
#pragma once
#include <cstdint>
#include <string>

#include "dialog.h"
#include "hub_settings.h"
#include "panel_paint_win.h"
#include "terminal_registry.h"

class CVarnickDlg : public CDialog {
 public:
  explicit CVarnickDlg(const HubSettings& settings);

 protected:
  bool OnInit() override;
  bool OnPaint() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  // The link's messages are answered by a window procedure put in front of the dialog
  // manager's: that one stores every answer in DWLP_MSGRESULT, a round trip to the window
  // server per message under Wine, and the hub handles a message for every terminal's step.
  static LRESULT CALLBACK LinkProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
  bool OnLinkMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnCopyData(WPARAM from, const COPYDATASTRUCT* frame, LRESULT& result);
  void SendImageSet(HWND to);
  void InvalidatePanel() { Invalidate(&kPanelRegion, true); }

  const HubSettings& settings_;
  HICON icon_;
  WNDPROC dialog_proc_ = nullptr;  // the dialog manager's window procedure, behind LinkProc
  TerminalRegistry registry_;
  uint32_t checksum_ = 0;  // of the set built at the last accepted image; 0 before the first
  std::string time_stamp_;
  // Numbers of "M_MARKER", "M_DEINIT", "S_MARKER", "S_DEINIT" and "S_GET_IMAGE".
  UINT master_marker_ = 0, master_detach_ = 0, slave_marker_ = 0, slave_detach_ = 0, get_image_ = 0;
};
