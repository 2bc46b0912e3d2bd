// The file a simulated MT5 account's state is kept in for the tests and the demo to read
// (mt5_account_state.h): written whole and moved over the last one, so that a reader never
// meets half of it, and only when the account changed: the simulator calls it on every turn of
// its clock, and the whole state, every deal included, is written each time.
#pragma once
#include <cstdint>
#include <string>

#include "mt5_trade_server.h"

class Mt5AccountFile {
 public:
  explicit Mt5AccountFile(std::string path) : path_(std::move(path)) {}

  // Writes the account's state when it changed since the file was last written; a failed write
  // is tried again at the next call. Nothing without a path.
  void Update(Mt5TradeServer& server);

 private:
  std::string path_;
  bool written_ = false;
  uint64_t changes_written_ = 0;  // the server's count of changes when it was
};
