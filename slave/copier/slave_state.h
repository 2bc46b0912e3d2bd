// What the slave's expert reads afresh from its terminal before every plan.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct SlaveOrder {
  int32_t ticket = 0;
  int32_t type = 0;
  double lots = 0;
  std::string symbol;
  double open_price = 0;
  double sl = 0;
  double tp = 0;
  int32_t magic = 0;
  int32_t expiration = 0;
};

struct SymbolFacts {
  std::string name;
  bool exists = false;
  int32_t digits = 0;
  double point = 0;
  double lot_min = 0;
  double lot_max = 0;
  double lot_step = 0;
  int32_t stops_level = 0;  // in points
  double bid = 0;
  double ask = 0;
};

// A master login that another expert of this terminal copies (see LoginClaims).
struct LoginCopiedElsewhere {
  std::string login;
  int expert = 0;
};

struct SlaveState {
  std::vector<SlaveOrder> open;     // open and pending orders
  std::vector<SlaveOrder> history;  // closed and deleted orders, as far back as the oldest
                                    // master order still open (else a copy closed here longer
                                    // ago is copied again)
  std::vector<SymbolFacts> symbols; // the symbols the copies need: mapped names of the masters'
  // The slave's server time; CopySettings::master_time_offset turns it into the masters'.
  int64_t now = 0;
  int64_t following_since = 0;      // when this slave began following, its time (0: unknown)
  std::vector<LoginCopiedElsewhere> copied_elsewhere;
};
