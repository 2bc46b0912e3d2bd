// One slave expert's copier between its calls: its settings and trade-result memory, the
// account's orders and symbol facts gathered for the coming plan, and the last plan with its
// log. A pass: Begin, AddOrder for every order, FindWantedSymbols, AddSymbol for each wanted
// symbol, Plan, then ActionDone for every action the expert ran. Not safe for concurrent use.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "copy_memory.h"
#include "copy_plan.h"
#include "copy_settings.h"
#include "image_set_model.h"
#include "login_claims.h"
#include "slave_state.h"

enum SlavePool : int32_t { kSlaveOpen = 0, kSlaveHistory = 1 };

class CopierSession {
 public:
  // `expert` is the id the expert claims master logins by.
  explicit CopierSession(int expert) : expert_(expert) {}

  // Takes the settings of `text`. The log then holds each problem, then the settings in use.
  // Answers the number of problems.
  int32_t ApplySettings(std::string_view text);

  // Starts gathering a pass at the slave's server time `now`, forgetting the orders, wanted
  // symbols and facts of the pass before.
  void Begin(int64_t now, int64_t following_since);
  // False for a pool other than kSlaveOpen and kSlaveHistory, or lots or prices that are no
  // finite numbers.
  bool AddOrder(int32_t pool, const SlaveOrder& order);
  // Finds and keeps the symbols a plan over `masters` needs facts for: how many; none without
  // settings.
  int32_t FindWantedSymbols(std::span<const TImage> masters);
  const std::vector<std::string>& WantedSymbols() const { return wanted_; }
  // False for numbers that are not finite. Facts of a name given again in a pass replace the
  // earlier ones.
  bool AddSymbol(const SymbolFacts& facts);

  // Claims the followed logins of `masters` for this expert, plans over them and keeps the
  // plan: the number of its actions, or -1 without settings.
  int32_t Plan(std::span<const TImage> masters, LoginClaims& claims);
  const std::vector<CopyAction>& Actions() const { return plan_.actions; }
  // Records what became of action `index` of the last plan (error 0: done). False when there
  // is no such action or its result was recorded already.
  bool ActionDone(int32_t index, int32_t error);

  // The last plan's log, or the settings' after ApplySettings.
  const std::vector<std::string>& Log() const { return plan_.log; }

 private:
  int expert_;
  std::optional<CopySettings> settings_;
  CopyMemory memory_;
  SlaveState slave_;
  std::vector<std::string> wanted_;
  CopyPlan plan_;
  int64_t planned_at_ = 0;
  std::vector<bool> reported_;  // per action of the last plan
};
