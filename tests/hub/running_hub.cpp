#include "running_hub.h"

#include <cstdio>

#include "image_checksum.h"
#include "link_protocol.h"

namespace {

const DWORD kStartLimitMs = 90000;  // the first Wine start in a fresh prefix is slow
const DWORD kExitLimitMs = 60000;
const UINT kSendLimitMs = 30000;

bool WriteFileText(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, NULL) &&
            written == text.size();
  CloseHandle(file);
  return ok;
}

std::string NewTempFolder() {
  static int counter = 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  char name[64];
  std::snprintf(name, sizeof name, "qelv_hub_%lu_%d\\", GetCurrentProcessId(), ++counter);
  std::string folder = std::string(temp) + name;
  CreateDirectoryA(folder.c_str(), NULL);
  return folder;
}

}  // namespace

RunningHub::RunningHub(const char* settings) : folder_(NewTempFolder()) {
  const std::string exe = folder_ + "Varnick.exe";
  if (!CopyFileA(QELV_BIN_DIR "Varnick.exe", exe.c_str(), FALSE)) return;
  if (settings && !WriteFileText(folder_ + "qelv.xml", settings)) return;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string command = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, folder_.c_str(),
                      &startup, &process_))
    process_ = {};
}

RunningHub::~RunningHub() {
  if (process_.hProcess) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, kExitLimitMs);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  DeleteFileA((folder_ + "Varnick.exe").c_str());
  DeleteFileA((folder_ + "qelv.xml").c_str());
  RemoveDirectoryA(folder_.c_str());
}

HWND RunningHub::WaitForEndpoint(const std::string& channel) {
  if (!process_.hProcess) return 0;
  for (DWORD waited = 0; waited < kStartLimitMs; waited += 50) {
    HWND hidden = FindWindowA(channel.c_str(), NULL);
    HWND owner = hidden ? GetWindow(hidden, GW_OWNER) : 0;
    if (owner) return owner;
    if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return 0;
  }
  return 0;
}

bool RunningHub::WaitForExit() {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, kExitLimitMs) == WAIT_OBJECT_0;
}

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
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::string command = command_line;
  BOOL started = CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
  CloseHandle(write_end);
  if (!started) {
    CloseHandle(read_end);
    return false;
  }
  // Polls the pipe rather than blocking on it, so that a program that never ends cannot
  // hold the test.
  output.clear();
  bool ended = false;
  for (DWORD waited = 0; waited < kExitLimitMs; waited += 20) {
    ended = WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0;
    DWORD available = 0;
    while (PeekNamedPipe(read_end, NULL, 0, NULL, &available, NULL) && available > 0) {
      char piece[4096];
      DWORD got = 0;
      if (!ReadFile(read_end, piece, sizeof piece, &got, NULL) || got == 0) break;
      output.append(piece, got);
    }
    if (ended) break;
  }
  CloseHandle(read_end);
  if (!ended) TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
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
