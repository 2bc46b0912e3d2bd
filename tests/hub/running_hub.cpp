#include "running_hub.h"

#include "child_process.h"
#include "image_checksum.h"
#include "link_protocol.h"
#include "poll_until.h"

namespace {

const DWORD kStartLimitMs = 90000;  // the first Wine start in a fresh prefix is slow
const DWORD kExitLimitMs = 60000;
const UINT kSendLimitMs = 30000;

}  // namespace

RunningHub::RunningHub(const char* settings) {
  const std::string exe = folder_ / "Varnick.exe";
  if (!CopyFileA(QELV_BIN_DIR "Varnick.exe", exe.c_str(), FALSE)) return;
  if (settings) WriteFileText(folder_ / "qelv.xml", settings);
  process_.Start("\"" + exe + "\"", folder_.path().c_str());
}

HWND RunningHub::WaitForEndpoint(const std::string& channel) {
  HWND owner = 0;
  PollUntil(kStartLimitMs, [&] {
    HWND hidden = FindWindowA(channel.c_str(), NULL);
    owner = hidden ? GetWindow(hidden, GW_OWNER) : 0;
    return owner != 0 || !process_.Running();
  });
  return owner;
}

bool RunningHub::WaitForExit() { return process_.WaitForExit(kExitLimitMs); }

std::string SettingsFor(const std::string& channel) {
  return "<root><window><channel_id>" + channel +
         "</channel_id><text><font_color>FF0000</font_color></text></window></root>";
}

std::string UniqueChannel(const char* name) {
  return "qelv_test_" + std::string(name) + "_" + std::to_string(GetCurrentProcessId());
}

bool RunProgram(const std::string& command_line, DWORD& exit_code, std::string& output) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, NULL, TRUE};
  HANDLE read_end, write_end;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return false;
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  ChildProcess process;
  const bool started = process.StartWithHandles(command_line, write_end, GetStdHandle(STD_ERROR_HANDLE),
                                                GetStdHandle(STD_INPUT_HANDLE));
  CloseHandle(write_end);
  if (!started) {
    CloseHandle(read_end);
    return false;
  }
  // Polls the pipe rather than blocking on it, so that a program that never ends cannot
  // hold the test.
  output.clear();
  bool ended = false;
  PollUntil(kExitLimitMs, [&] {
    ended = !process.Running();
    DWORD available = 0;
    while (PeekNamedPipe(read_end, NULL, 0, NULL, &available, NULL) && available > 0) {
      char piece[4096];
      DWORD got = 0;
      if (!ReadFile(read_end, piece, sizeof piece, &got, NULL) || got == 0) break;
      output.append(piece, got);
    }
    return ended;
  });
  CloseHandle(read_end);
  process.Kill();
  exit_code = process.ExitCode();
  return ended;
}

namespace {

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
  return Send(link::kSlaveGetImage, static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(receiver)), 0);
}

const std::string& TestTerminal::LastImageSet() const { return g_last_set; }
int TestTerminal::ImageSetsReceived() const { return g_sets_received; }

uint32_t TestTerminal::PublishedChecksum() const {
  return static_cast<uint32_t>(GetWindowLongPtrA(hub_, GWLP_USERDATA));
}

uint32_t ChecksumOf(const std::string& text) {
  return image_checksum(text.data(), static_cast<int32_t>(text.size()));
}
