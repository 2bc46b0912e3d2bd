// The relay's status window: one row per RelayStatus value, refreshed whenever the relay says
// its status changed. Closing it ends the program.
#pragma once
#include <atomic>
#include <functional>

#include "dialog.h"
#include "relay_status.h"

class CRelayStatusDlg : public CDialog {
 public:
  using StatusSource = std::function<RelayStatus()>;
  using Started = std::function<void()>;

  // `started` runs once the window exists, so that changes reported from then on reach it.
  CRelayStatusDlg(StatusSource status, Started started);

  // Asks the window to show the status again; from any thread, and harmless once it is gone.
  void Changed();

 protected:
  bool OnInit() override;
  bool OnCommand(int code, int id, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void ShowStatus();

  const StatusSource status_;
  const Started started_;
  std::atomic<HWND> shown_{NULL};
  std::atomic<bool> refresh_posted_{false};  // one refresh waiting is enough
};
