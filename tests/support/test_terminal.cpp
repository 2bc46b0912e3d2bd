#include "test_terminal.h"

#include <cstdlib>

#include "image_checksum.h"
#include "link_protocol.h"
#include "window_value_win.h"

namespace {

const UINT kSendLimitMs = 30000;  // a hung hub fails the test instead of hanging it

std::string g_last_set;
int g_sets_received = 0;

LRESULT CALLBACK ReceiverProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COPYDATA) {
    const auto* frame = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    if (frame->dwData != link::kCopyDataTag) return 0;
    g_last_set.assign(static_cast<const char*>(frame->lpData), frame->cbData);
    g_sets_received++;
    return 1;
  }
  return DefWindowProcA(window, msg, wp, lp);
}

}  // namespace

TestTerminal::TestTerminal(HWND hub) : hub_(hub) {
  WNDCLASSA receiver{};
  receiver.lpfnWndProc = ReceiverProc;
  receiver.hInstance = GetModuleHandleA(NULL);
  receiver.lpszClassName = "QelvTestReceiver";
  RegisterClassA(&receiver);  // fails harmlessly the second time
  window_ = CreateWindowExA(0, "QelvTestReceiver", "", 0, 0, 0, 0, 0, 0, 0, receiver.hInstance, 0);
  g_last_set.clear();
  g_sets_received = 0;
}

TestTerminal::~TestTerminal() { DestroyWindow(window_); }

LRESULT TestTerminal::Send(const char* message, uint32_t window, int32_t instance) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(hub_, RegisterWindowMessageA(message), window, instance, SMTO_NORMAL,
                           kSendLimitMs, &answer))
    return -2;
  return static_cast<LRESULT>(answer);
}

LRESULT TestTerminal::SendImage(uint32_t window, const std::string& image) {
  COPYDATASTRUCT frame{link::kCopyDataTag, static_cast<DWORD>(image.size()),
                       const_cast<char*>(image.data())};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(hub_, WM_COPYDATA, window, reinterpret_cast<LPARAM>(&frame),
                           SMTO_NORMAL, kSendLimitMs, &answer))
    return -2;
  return static_cast<LRESULT>(answer);
}

LRESULT TestTerminal::RequestImageSetFor(HWND receiver) {
  return Send(link::kSlaveGetImage, static_cast<uint32_t>(WindowValue(receiver)), 0);
}

const std::string& TestTerminal::LastImageSet() const { return g_last_set; }
int TestTerminal::ImageSetsReceived() const { return g_sets_received; }

uint32_t TestTerminal::PublishedChecksum() const {
  return static_cast<uint32_t>(GetWindowLongPtrA(hub_, GWLP_USERDATA));
}

int TestTerminal::SlaveCount() {
  if (RequestImageSet() != 0) return -1;
  const size_t at = g_last_set.find("<slave_cnt>");
  return at == std::string::npos ? -1 : std::atoi(g_last_set.c_str() + at + 11);
}

uint32_t ChecksumOf(const std::string& text) {
  return image_checksum(text.data(), static_cast<int32_t>(text.size()));
}
