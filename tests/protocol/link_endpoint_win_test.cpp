// The link's Windows end against windows of the test's own: finding the hub's endpoint, a hub
// that has ended, the 32 bits a window and an instance travel in, copy-data frames with and
// without a bounded wait, and window handles as 32-bit values.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <optional>
#include <string>

#include "channel_windows.h"
#include "link_endpoint_win.h"
#include "poll_until.h"
#include "window_thread.h"
#include "window_value_win.h"

namespace {

const UINT kProbe = WM_APP + 1;  // sent back to the sender while it waits
const UINT kHang = WM_APP + 2;   // posted: the receiving thread stops pumping
const LRESULT kProbeAnswer = 0x2A;
const DWORD kLimitMs = 60000;  // a bound for a busy machine, not an expectation

// What reached the endpoint window last.
struct Seen {
  UINT msg = 0;
  WPARAM wp = 0;
  LPARAM lp = 0;
  ULONG_PTR tag = 0;
  std::string text;
};
Seen g_seen;
HANDLE g_release = NULL;  // ends a hang
std::atomic<bool> g_hung{false};

LRESULT CALLBACK EndpointProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COPYDATA) {
    // Once the sender may have given up, its frame may be gone: not read then.
    if (g_hung) return 1;
    const auto* frame = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    g_seen = {msg, wp, lp, frame->dwData,
              frame->cbData ? std::string(static_cast<const char*>(frame->lpData), frame->cbData)
                            : std::string()};
    // The sender's window answers while the sender waits, or the send could not finish.
    return SendMessageA(WindowFromValue(static_cast<int32_t>(wp)), kProbe, 0, 0);
  }
  if (msg == kHang) {
    g_hung = true;
    WaitForSingleObject(g_release, kLimitMs);
    return 0;
  }
  if (msg >= 0xC000) {
    g_seen = {msg, wp, lp, 0, ""};
    return 7;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK SenderProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kProbe) return kProbeAnswer;
  return DefWindowProcA(w, msg, wp, lp);
}

void RegisterClasses() {
  WNDCLASSA wc{};
  wc.hInstance = GetModuleHandleA(NULL);
  wc.lpfnWndProc = EndpointProc;
  wc.lpszClassName = "QelvEndpointTestEndpoint";
  RegisterClassA(&wc);  // fails harmlessly the second time
  wc.lpfnWndProc = SenderProc;
  wc.lpszClassName = "QelvEndpointTestSender";
  RegisterClassA(&wc);
}

UINT Registered() { return RegisterWindowMessageA("QELV_ENDPOINT_TEST"); }

TEST(LinkEndpoint, FindsTheOwnerOfTheChannelWindowAndForgetsItOnEveryFailedSearch) {
  RegisterClasses();
  ChannelWindows owned("QelvEndpointOwned", "QelvEndpointTestEndpoint", EndpointProc);
  ChannelWindows unowned("QelvEndpointUnowned", "QelvEndpointTestEndpoint", EndpointProc, false);
  LinkEndpoint hub;
  EXPECT_FALSE(hub.Found());
  for (const char* nowhere :
       {"QelvEndpointUnowned", "QelvEndpointNoSuchChannel", static_cast<const char*>(nullptr)}) {
    ASSERT_EQ(hub.FindHub("QelvEndpointOwned"), owned.Endpoint());
    EXPECT_TRUE(hub.Found() && hub.Alive());
    EXPECT_EQ(hub.FindHub(nowhere), nullptr) << (nowhere ? nowhere : "null");
    EXPECT_FALSE(hub.Found());
    EXPECT_EQ(hub.Send(Registered(), 1, 1), -1);
    EXPECT_EQ(hub.PublishedChecksum(), 0u);
  }
}

TEST(LinkEndpoint, AHubThatEndedIsNotAliveAndItsSendsAnswerMinusOne) {
  RegisterClasses();
  HWND window = CreateWindowExA(0, "QelvEndpointTestEndpoint", "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
  LinkEndpoint hub(window);
  ASSERT_TRUE(hub.Alive());
  EXPECT_EQ(hub.Send(Registered(), 1, 1), 7);
  SetWindowLongPtrA(window, GWLP_USERDATA, 0x1234);
  DestroyWindow(window);
  EXPECT_TRUE(hub.Found());
  EXPECT_FALSE(hub.Alive());
  EXPECT_EQ(hub.Send(Registered(), 1, 1), -1);
  // What Send guards against: unasked, the send "succeeds" with 0, an accepted marker.
  EXPECT_EQ(hub.SendAssumingAlive(Registered(), 1, 1), 0);
  EXPECT_EQ(hub.PublishedChecksum(), 0u);
}

// A window value and an instance travel sign-extended, as the exports' ints always did.
class LinkEndpointCarries : public testing::TestWithParam<int32_t> {};

TEST_P(LinkEndpointCarries, WindowAndInstanceInWParamAndLParam) {
  RegisterClasses();
  HWND window = CreateWindowExA(0, "QelvEndpointTestEndpoint", "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
  const LinkEndpoint hub(window);
  for (int assumed = 0; assumed < 2; assumed++) {
    g_seen = {};
    const int answer = assumed ? hub.SendAssumingAlive(Registered(), GetParam(), ~GetParam())
                               : hub.Send(Registered(), GetParam(), ~GetParam());
    EXPECT_EQ(answer, 7);
    EXPECT_EQ(g_seen.msg, Registered());
    EXPECT_EQ(g_seen.wp, static_cast<WPARAM>(static_cast<INT_PTR>(GetParam())));
    EXPECT_EQ(g_seen.lp, static_cast<LPARAM>(~GetParam()));
  }
  DestroyWindow(window);
}

INSTANTIATE_TEST_SUITE_P(Values, LinkEndpointCarries,
                         testing::Values(0, 1, 0x10064, INT32_MAX, -1, INT32_MIN));

// The hub writes its checksum zero-extended, a stand-in may write it sign-extended.
class LinkEndpointPublished : public testing::TestWithParam<uint32_t> {};

TEST_P(LinkEndpointPublished, ChecksumReadsAsWrittenWhicheverWayTheWordWasFilled) {
  RegisterClasses();
  HWND window = CreateWindowExA(0, "QelvEndpointTestEndpoint", "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
  const LinkEndpoint hub(window);
  SetWindowLongPtrA(window, GWLP_USERDATA, static_cast<LONG_PTR>(GetParam()));
  EXPECT_EQ(hub.PublishedChecksum(), GetParam());
  SetWindowLongPtrA(window, GWLP_USERDATA, static_cast<LONG_PTR>(static_cast<int32_t>(GetParam())));
  EXPECT_EQ(hub.PublishedChecksum(), GetParam());
  DestroyWindow(window);
}

INSTANTIATE_TEST_SUITE_P(Checksums, LinkEndpointPublished,
                         testing::Values(0u, 1u, 0x53F2F62Du, 0x80000000u, 0xFFFFFFFFu));

// Every copy-data send, with a plain wait and with a bounded one.
class LinkEndpointCopyData : public testing::TestWithParam<std::optional<UINT>> {};

TEST_P(LinkEndpointCopyData, DeliversTheTaggedBytesAndTheAnswerWhileMessagesToTheSenderGoOn) {
  RegisterClasses();
  WindowThread receiver("QelvEndpointTestEndpoint", 0, 0);
  ASSERT_NE(receiver.Window(), nullptr);
  HWND sender = CreateWindowExA(0, "QelvEndpointTestSender", "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
  const LinkEndpoint to(receiver.Window());
  const std::string texts[] = {"", std::string("a\0b", 3), std::string(100000, 'x')};
  for (const std::string& text : texts) {
    g_seen = {};
    EXPECT_EQ(to.SendCopyData(WindowValue(sender), text.data(), text.size(), GetParam()),
              kProbeAnswer);
    EXPECT_EQ(g_seen.tag, 111u);
    EXPECT_EQ(g_seen.text, text);
    EXPECT_EQ(g_seen.wp, reinterpret_cast<WPARAM>(sender));
  }
  DestroyWindow(sender);
}

INSTANTIATE_TEST_SUITE_P(Waits, LinkEndpointCopyData,
                         testing::Values(std::nullopt, std::optional<UINT>(5000)));

TEST(LinkEndpoint, BoundedCopyDataGivesUpOnAWindowWhoseThreadHangs) {
  RegisterClasses();
  g_release = CreateEventA(NULL, TRUE, FALSE, NULL);
  g_hung = false;
  {
    WindowThread receiver("QelvEndpointTestEndpoint", 0, 0);
    ASSERT_NE(receiver.Window(), nullptr);
    PostMessageA(receiver.Window(), kHang, 0, 0);
    ASSERT_TRUE(PollUntil(kLimitMs, [] { return g_hung.load(); }));
    const LinkEndpoint to(receiver.Window());
    const DWORD start = GetTickCount();
    EXPECT_EQ(to.SendCopyData(1, "abc", 3, 200), 0);
    EXPECT_LT(GetTickCount() - start, 20000u);  // 200 ms asked; far less than for ever
    SetEvent(g_release);
  }
  g_hung = false;
  CloseHandle(g_release);
}

class WindowValues : public testing::TestWithParam<int32_t> {};

TEST_P(WindowValues, RoundTripSignExtended) {
  HWND window = WindowFromValue(GetParam());
  EXPECT_EQ(reinterpret_cast<INT_PTR>(window), static_cast<INT_PTR>(GetParam()));
  EXPECT_EQ(WindowValue(window), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Values, WindowValues,
                         testing::Values(0, 1, 0x10064, 0x7ABCDEF0, INT32_MAX, -1, INT32_MIN));

TEST(WindowValue, NamesTheSameWindowAfterTheRoundTrip) {
  RegisterClasses();
  HWND window = CreateWindowExA(0, "QelvEndpointTestSender", "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(WindowFromValue(WindowValue(window)), window);
  EXPECT_TRUE(IsWindow(WindowFromValue(WindowValue(window))));
  DestroyWindow(window);
}

}  // namespace
