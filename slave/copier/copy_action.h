// One trade call the planner asks the slave's expert to make.
#pragma once
#include <cstdint>
#include <string>

// In the order a plan lists them: what frees margin first.
enum class ActionKind { kClose, kDelete, kPartialClose, kModify, kOpen };

struct CopyAction {
  ActionKind kind = ActionKind::kOpen;
  // The master chain the action serves.
  std::string login;
  int32_t root_ticket = 0;
  int32_t magic = 0;
  // A digest of the master's order when planned: a refusal stands until it changes.
  uint32_t master_state = 0;

  int32_t ticket = 0;      // the slave's order; 0 for an open
  std::string symbol;
  int32_t type = 0;        // open: the order type
  double lots = 0;         // open: lots; close and partial close: the lots to close
  double price = 0;        // pending open, modify: the order's (new) price; market open, close
                           // and partial close: the market price when planned, for information
                           // only (the expert trades at the bid or ask of the moment)
  double sl = 0;           // open, modify
  double tp = 0;           // open, modify
  int32_t expiration = 0;  // pending open, modify
  std::string comment;     // open
};
