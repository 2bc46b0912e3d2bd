#include "mt5_account_file_win.h"

#include <windows.h>

#include <cstdio>

#include "mt5_account_state.h"

void Mt5AccountFile::Update(Mt5TradeServer& server) {
  if (path_.empty()) return;
  const uint64_t changes = server.Changes();
  if (written_ && changes == changes_written_) return;
  const std::string state = DescribeMt5Account(server);
  const std::string fresh = path_ + ".new";
  std::FILE* file = std::fopen(fresh.c_str(), "wb");
  if (!file) return;
  const bool whole = std::fwrite(state.data(), 1, state.size(), file) == state.size();
  if (std::fclose(file) != 0 || !whole) return;
  // A reader that has the old file open keeps it from being replaced: the next call tries again.
  if (!MoveFileExA(fresh.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) return;
  written_ = true;
  changes_written_ = changes;
}
