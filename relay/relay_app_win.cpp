#include "relay_app.h"

#include <windows.h>

#include <chrono>
#include <memory>

#include "module_path.h"
#include "relay_engine_win.h"
#include "relay_log.h"
#include "relay_settings.h"
#include "relay_status_win.h"
#include "settings_path.h"
#include "system_error_text.h"
#include "whole_file.h"

namespace {

int64_t WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The settings, or why there are none.
bool LoadSettings(const std::string& path, RelaySettings& settings, std::string& problem) {
  std::string bytes;
  if (unsigned long code = ReadWholeFile(path, bytes)) {
    problem = "cannot read " + path + ": " + SystemErrorText(code) + " (" + std::to_string(code) + ")";
    return false;
  }
  std::string error;
  if (!ReadRelaySettings(bytes, settings, error)) {
    problem = path + " refused: " + error;
    return false;
  }
  return true;
}

// A second relay of one broker id would take turns with the first at the broker: only one runs.
// The claim is held until the program ends; NULL with `problem` said when another holds it.
HANDLE ClaimBrokerId(const RelaySettings& settings, std::string& problem) {
  HANDLE claim = CreateMutexA(NULL, FALSE, ("Local\\qelv-relay." + BrokerClientId(settings)).c_str());
  if (claim && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(claim);
    problem = "another relay of channel " + settings.channel_id + ", remote channel " +
              settings.remote_channel + " and this role runs already";
    return NULL;
  }
  // Without a claim (the system refused the mutex) the relay runs unguarded rather than not at all.
  return claim ? claim : INVALID_HANDLE_VALUE;
}

}  // namespace

int RelayApp::Run() {
  std::string module_path;
  if (unsigned long code = GetModulePath(module_path)) {
    MessageBoxA(NULL, ("The relay cannot find its own path: " + SystemErrorText(code)).c_str(),
                "qelv relay", MB_OK | MB_ICONERROR);
    return 1;
  }
  const std::string base = BaseName(module_path);
  RelayLog log(SettingsPath(module_path, base, "qelv-relay.log"), WallMs);

  RelaySettings settings;
  RelayStatus stopped;
  if (!LoadSettings(SettingsPath(module_path, base, "qelv-relay.xml"), settings, stopped.problem)) {
    log.Write("not started: " + stopped.problem);
  } else {
    log.Hide(settings.password);
    log.Hide(settings.secret);
  }

  HANDLE claim = NULL;
  if (stopped.problem.empty() && !(claim = ClaimBrokerId(settings, stopped.problem)))
    log.Write("not started: " + stopped.problem);

  std::unique_ptr<RelayEngine> engine;
  CRelayStatusDlg* shown = nullptr;
  CRelayStatusDlg window(
      [&] { return engine ? engine->Status() : stopped; },
      [&] {
        if (stopped.problem.empty())
          engine = std::make_unique<RelayEngine>(
              settings, log, SettingsPath(module_path, base, "qelv-relay.sequences"),
              [&] { shown->Changed(); });
      });
  shown = &window;
  window.DoModal();
  engine.reset();  // DISCONNECT, then the hub's ends detach
  if (claim && claim != INVALID_HANDLE_VALUE) CloseHandle(claim);
  return stopped.problem.empty() ? 0 : 1;
}
