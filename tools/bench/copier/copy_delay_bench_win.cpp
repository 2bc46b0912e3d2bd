// The copy delay under Wine: from the master's _image_send of a change (an order opened or
// closed) until the copy's trade is in every copying slave's account journal, for 1 and for 10
// copying slaves (terminal_sim slave --copy), beside 10 slaves that fetch every 500 ms.
//
//   copy_delay_bench [changes]        (run from bin/, where Varnick.exe, terminal_sim.exe and
//                                      the libraries are; 500 changes by default)
//
// The hub runs from a temporary folder with its own qelv.xml; this process is the master.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../bench_support_win.h"
#include "master_library_win.h"

using bench::Now;
using bench::BinFolder;

namespace {

const int kMasterWindow = 9101, kMasterInstance = 1;
const DWORD kChangeLimitMs = 30000;

struct Child {
  PROCESS_INFORMATION process{};
  bool Start(const std::string& command_line, const char* folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = command_line;
    return CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, folder, &startup,
                          &process);
  }
  ~Child() {
    if (!process.hProcess) return;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
};

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

// The lines a journal holds so far (its slave keeps it open for writing).
size_t LinesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return static_cast<size_t>(std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
}

void PrintFigures(int copiers, std::vector<double> ms) {
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<size_t>(q * ms.size()))]; };
  std::printf("%7d  %7zu  %8.1f  %8.1f  %8.1f  %8.1f\n", copiers, ms.size(), at(0.5), at(0.95), at(0.99), ms.back());
  std::fflush(stdout);
}

// The master's image: the order of change `i` open when i is even, closed (in the history) when odd.
void SendChange(const MasterExports& m, const std::string& channel, int i) {
  static DWORD last_marker = GetTickCount();
  if (GetTickCount() - last_marker >= 5000) {  // as the expert: the hub drops a silent master
    m.marker_send(kMasterWindow, kMasterInstance);
    last_marker = GetTickCount();
  }
  const int ticket = 100000 + i / 2;
  const bool open = i % 2 == 0;
  m.image_clear();
  m.image_set(channel.c_str(), "4711");
  m.image_append(open ? 0 : 1, 5, 2, ticket, 1252972800 + i, 0, 0.1, "EURUSD", 1.08345, 0, 0,
                 open ? 0 : 1252972800 + i + 1, open ? 0.0 : 1.08350, 0, 0, "bench");
  m.image_send(kMasterWindow);
}

// One run: `copiers` copying slaves beside 10 fetching ones, `changes` changes; false when a
// copy did not come within the limit.
bool Run(const MasterExports& m, const std::string& bin, const std::string& folder, const std::string& channel,
         int copiers, int changes) {
  std::vector<std::unique_ptr<Child>> slaves;
  std::vector<std::string> journals;
  const std::string sim = "\"" + bin + "terminal_sim.exe\" slave --channel " + channel;
  for (int k = 0; k < copiers; k++) {
    journals.push_back(folder + "copier" + std::to_string(copiers) + "_" + std::to_string(k) + ".journal");
    slaves.push_back(std::make_unique<Child>());
    slaves.back()->Start(sim + " --copy --instance " + std::to_string(k + 1) +
                             " --settings \"copy_old=yes\" --journal \"" + journals.back() + "\"", NULL);
  }
  for (int k = 0; k < 10; k++) {
    slaves.push_back(std::make_unique<Child>());
    slaves.back()->Start(sim + " --poll 500 --instance " + std::to_string(100 + k), NULL);
  }
  // Every copier holds the first copy before the clock runs.
  SendChange(m, channel, 0);
  std::vector<size_t> lines(copiers, 0);
  const DWORD started = GetTickCount();
  for (int k = 0; k < copiers; k++)
    while ((lines[k] = LinesOf(journals[k])) < 1 && GetTickCount() - started < 60000) Sleep(20);
  std::vector<double> delays;
  for (int i = 1; i < changes + 1; i++) {
    const double sent = Now();
    SendChange(m, channel, i);
    std::vector<bool> seen(copiers, false);
    int waiting = copiers;
    const DWORD since = GetTickCount();
    while (waiting > 0 && GetTickCount() - since < kChangeLimitMs) {
      for (int k = 0; k < copiers; k++)
        if (!seen[k] && LinesOf(journals[k]) > lines[k]) {
          seen[k] = true;
          waiting--;
          lines[k]++;
          delays.push_back(Now() - sent);
        }
      if (waiting > 0) Sleep(1);
    }
    if (waiting > 0) {
      std::fprintf(stderr, "copy_delay_bench: change %d did not reach %d copier(s)\n", i, waiting);
      return false;
    }
  }
  PrintFigures(copiers, delays);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int changes = argc > 1 ? std::max(2, std::atoi(argv[1])) : 500;
  const std::string bin = BinFolder();
  const std::string channel = "qelv_copy_bench_" + std::to_string(GetCurrentProcessId());
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + channel + "\\";
  CreateDirectoryA(folder.c_str(), NULL);
  const std::string hub_exe = folder + "Varnick.exe";
  if (!CopyFileA((bin + "Varnick.exe").c_str(), hub_exe.c_str(), FALSE) ||
      !WriteText(folder + "qelv.xml", "<root><window><channel_id>" + channel + "</channel_id></window></root>")) {
    std::fprintf(stderr, "copy_delay_bench: cannot prepare %s\n", folder.c_str());
    return 1;
  }
  HMODULE dll = LoadLibraryA((bin + "qelv_d30or.dll").c_str());
  MasterExports m{};
  if (!dll || FindExports(dll, m)) {
    std::fprintf(stderr, "copy_delay_bench: cannot load qelv_d30or.dll\n");
    return 1;
  }
  int status = 0;
  {
    Child hub;
    if (!hub.Start("\"" + hub_exe + "\"", folder.c_str())) return 1;
    for (int tries = 0; tries < 200 && !m.find_window(channel.c_str()); tries++) Sleep(50);
    m.init(0, 0);
    m.marker_send(kMasterWindow, kMasterInstance);
    std::printf("copy delay under Wine, %d changes (open or close of one order), beside 10 slaves\n"
                "fetching every 500 ms: master _image_send until the copy's trade is journaled\n\n", changes);
    std::printf("copiers  copies    p50 ms    p95 ms    p99 ms    max ms\n");
    for (int copiers : {1, 10})
      if (!Run(m, bin, folder, channel, copiers, changes)) status = 1;
    m.deinit(kMasterWindow, kMasterInstance);
  }
  FreeLibrary(dll);
  return status;
}
