#include "varnick_dlg_win.h"

#include <optional>
#include <utility>

#include "hub_message_win.h"
#include "image_set.h"
#include "link_endpoint_win.h"
#include "link_protocol.h"
#include "published_event.h"
#include "resource.h"
#include "time_stamp.h"
#include "window_value_win.h"

namespace {

const UINT_PTR kExpiryTimerId = 1000;
// How long the reply to a slave may wait for the slave's window; a window whose thread hangs
// would otherwise hold the hub, and with it every terminal, for ever.
const UINT kReplyTimeoutMs = 5000;

// A terminal's window travels in wParam as a 32-bit value; only those bits identify it.
uint32_t CarriedWindow(WPARAM wp) { return static_cast<uint32_t>(wp); }

}  // namespace

CVarnickDlg::CVarnickDlg(const HubSettings& settings)
    : CDialog(IDD_VARNICK_DIALOG),
      settings_(settings),
      icon_(LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_VARNICK))),
      registry_(GetTickCount),
      time_stamp_(CurrentTimeStamp()) {}

CVarnickDlg::~CVarnickDlg() {
  if (published_event_) CloseHandle(published_event_);
}

bool CVarnickDlg::OnInit() {
  SendMsg(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMsg(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

  // The signal exists before the endpoint can be found, so that whoever finds the hub finds it.
  published_event_ =
      CreateEventA(NULL, TRUE, FALSE, link::PublishedEventName(settings_.channel_id).c_str());
  // The hidden window carries the channel id as its class name; the libraries find it and
  // take its owner, this dialog, as the hub. It ends with the dialog.
  if (!CreateWindowExA(0, settings_.channel_id.c_str(), "", 0, 0, 0, 0, 0, window_, NULL,
                       GetModuleHandleA(NULL), NULL)) {
    ShowHubMessage(window_, "OnInitDialog: Create window failed.");
    EndDialog(IDCANCEL);
    return false;
  }
  Publish(0);

  master_marker_ = RegisterWindowMessageA(link::kMasterMarker);
  master_detach_ = RegisterWindowMessageA(link::kMasterDetach);
  slave_marker_ = RegisterWindowMessageA(link::kSlaveMarker);
  slave_detach_ = RegisterWindowMessageA(link::kSlaveDetach);
  get_image_ = RegisterWindowMessageA(link::kSlaveGetImage);

  SetTimer(window_, kExpiryTimerId, link::kExpiryCheckMs, NULL);
  AnswerMessagesEarly();
  return true;
}

bool CVarnickDlg::OnEarlyMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  // Registered messages have numbers from 0xC000 on; before registration the numbers kept are
  // 0, which this keeps from matching WM_NULL.
  if (msg >= 0xC000) return OnLinkMessage(msg, wp, lp, result);
  if (msg == WM_COPYDATA)
    return OnCopyData(wp, reinterpret_cast<const COPYDATASTRUCT*>(lp), result);
  return false;
}

bool CVarnickDlg::OnPaint() {
  if (IsMinimized()) {
    PaintMinimizedIcon(icon_);
    return true;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  PaintContent(dc, {settings_, registry_.Counts(), checksum_, time_stamp_});
  EndPaint(window_, &ps);
  return true;
}

bool CVarnickDlg::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  switch (msg) {
    case link::kHubActivate:  // a second hub of this channel hands over to this one
      Show(SW_RESTORE);
      SetForegroundWindow(window_);
      result = 0;
      return true;
    case WM_TIMER:
      registry_.Expire();
      InvalidatePanel();
      return false;
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(icon_);
      return true;
  }
  return false;
}

bool CVarnickDlg::OnLinkMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  const uint32_t window = CarriedWindow(wp);
  const int32_t instance = static_cast<int32_t>(lp);
  result = 0;
  if (msg == master_marker_ || msg == slave_marker_) {
    MarkerOutcome outcome = registry_.Marker(msg == master_marker_ ? kMasterKind : kSlaveKind,
                                             window, instance);
    if (outcome == MarkerOutcome::kAdded) InvalidatePanel();
    result = MarkerAnswer(outcome);
  } else if (msg == master_detach_ || msg == slave_detach_) {
    if (registry_.Detach(msg == master_detach_ ? kMasterKind : kSlaveKind, window, instance))
      InvalidatePanel();
  } else if (msg == get_image_) {
    SendImageSet(WindowFromValue(static_cast<int32_t>(window)));
  } else {
    return false;
  }
  return true;
}

bool CVarnickDlg::OnCopyData(WPARAM from, const COPYDATASTRUCT* frame, LRESULT& result) {
  if (!frame || frame->dwData != link::kCopyDataTag) return false;  // not ours
  result = TRUE;  // also when the image is dropped
  // Everything that can run out of memory comes before the first change: the published
  // checksum, the shown one and the time stamp change together or not at all.
  std::string time_stamp = CurrentTimeStamp();
  std::optional<uint32_t> checksum =
      AcceptImage(registry_, CarriedWindow(from), frame->lpData, frame->cbData);
  if (!checksum) return true;
  Publish(*checksum);
  time_stamp_ = std::move(time_stamp);
  InvalidatePanel();
  return true;
}

void CVarnickDlg::SendImageSet(HWND to) {
  // Never the broadcast handles, which would hand the set to every top-level window. Any other
  // value that is no window fails the send without effect.
  if (to == HWND_BROADCAST || to == HWND_TOPMOST) return;
  const std::string set = BuildImageSet(registry_);
  // Messages sent to the hub are still handled while it waits; the answer is not needed.
  LinkEndpoint(to).SendCopyData(WindowValue(window_), set.data(), set.size(), kReplyTimeoutMs);
}

void CVarnickDlg::Publish(uint32_t checksum) {
  checksum_ = checksum;
  SetWindowLongPtrA(window_, GWLP_USERDATA, static_cast<LONG_PTR>(checksum));
  // Set and reset: every library waiting now wakes, and one that comes later reads the value.
  if (published_event_) {
    SetEvent(published_event_);
    ResetEvent(published_event_);
  }
}
