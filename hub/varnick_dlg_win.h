// The hub's dialog: the endpoint of the link. It keeps the terminal registry, accepts master
// images, publishes the checksum of the image set in its GWLP_USERDATA and signals each
// publication (published_event.h), answers slaves with the set, drops silent terminals and
// paints the status panel.
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
  ~CVarnickDlg() override;
  CVarnickDlg(const CVarnickDlg&) = delete;
  CVarnickDlg& operator=(const CVarnickDlg&) = delete;

 protected:
  bool OnInit() override;
  bool OnPaint() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  // The link's messages and images, answered before the dialog manager: the hub handles a
  // message for every terminal's step.
  bool OnEarlyMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  bool OnLinkMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnCopyData(WPARAM from, const COPYDATASTRUCT* frame, LRESULT& result);
  void SendImageSet(HWND to);
  // The only writer of the published checksum.
  void Publish(uint32_t checksum);
  void InvalidatePanel() { Invalidate(&kPanelRegion, true); }

  const HubSettings& settings_;
  HICON icon_;
  TerminalRegistry registry_;
  uint32_t checksum_ = 0;  // of the set built at the last accepted image; 0 before the first
  HANDLE published_event_ = NULL;  // none when it could not be made: libraries poll then
  std::string time_stamp_;
  // Numbers of "M_MARKER", "M_DEINIT", "S_MARKER", "S_DEINIT" and "S_GET_IMAGE".
  UINT master_marker_ = 0, master_detach_ = 0, slave_marker_ = 0, slave_detach_ = 0, get_image_ = 0;
};
