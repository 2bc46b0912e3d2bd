#include "master_scenario.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

// Order times are fixed so that a scenario always gives the same images and checksums.
const int kFirstOpenTime = 1252972800;  // 2009-09-15 00:00:00 UTC
const int kStepSeconds = 60;

const char* const kTypeNames[] = {"buy", "sell", "buylimit", "selllimit", "buystop", "sellstop"};

bool ReadType(const std::string& word, int& type) {
  for (int i = 0; i < 6; i++)
    if (word == kTypeNames[i]) return type = i, true;
  char* end = nullptr;
  long value = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end || value < 0 || value > 5) return false;
  return type = static_cast<int>(value), true;
}

template <typename T>
bool Read(std::istringstream& in, T& value) {
  return static_cast<bool>(in >> value);
}

// The rest of the line after the fields read so far, without blanks around it.
std::string Rest(std::istringstream& in) {
  std::string rest;
  std::getline(in, rest);
  rest.erase(0, rest.find_first_not_of(" \t"));
  rest.erase(rest.find_last_not_of(" \t") + 1);
  return rest;
}

bool ParseStep(const std::string& line, ScenarioStep& step) {
  std::istringstream in(line);
  in.imbue(std::locale::classic());
  std::string verb, type;
  in >> verb;
  SimOrder& o = step.order;
  if (verb == "login") {
    step.kind = ScenarioStep::kLogin;
    return Read(in, step.login);
  }
  if (verb == "open") {
    step.kind = ScenarioStep::kOpen;
    if (!Read(in, o.ticket) || !Read(in, type) || !ReadType(type, o.type) || !Read(in, o.lots) ||
        !Read(in, o.symbol) || !Read(in, o.open_price))
      return false;
    if (Read(in, o.stop_loss) && Read(in, o.take_profit)) o.comment = Rest(in);
    return true;
  }
  if (verb == "modify") {
    step.kind = ScenarioStep::kModify;
    return Read(in, o.ticket) && Read(in, o.stop_loss) && Read(in, o.take_profit);
  }
  if (verb == "close") {
    step.kind = ScenarioStep::kClose;
    return Read(in, o.ticket) && Read(in, o.close_price);
  }
  if (verb == "wait") {
    step.kind = ScenarioStep::kWait;
    return Read(in, step.wait_ms) && step.wait_ms >= 0;
  }
  return false;
}

}  // namespace

bool ParseScenario(std::string_view text, std::vector<ScenarioStep>& steps, std::string& error) {
  steps.clear();
  std::istringstream lines{std::string(text)};
  std::string line;
  for (int number = 1; std::getline(lines, line); number++) {
    line = line.substr(0, line.find('#'));
    line.erase(line.find_last_not_of(" \t\r") + 1);
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    ScenarioStep step{};
    if (!ParseStep(line, step)) {
      error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
      return false;
    }
    steps.push_back(std::move(step));
  }
  return true;
}

void SimAccount::Apply(const ScenarioStep& step) {
  const int now = kFirstOpenTime + kStepSeconds * static_cast<int>(market.size() + history.size());
  auto open = std::find_if(market.begin(), market.end(),
                           [&](const SimOrder& o) { return o.ticket == step.order.ticket; });
  switch (step.kind) {
    case ScenarioStep::kLogin:
      login = step.login;
      break;
    case ScenarioStep::kOpen:
      market.push_back(step.order);
      market.back().open_time = now;
      break;
    case ScenarioStep::kModify:
      if (open == market.end()) break;
      open->stop_loss = step.order.stop_loss;
      open->take_profit = step.order.take_profit;
      break;
    case ScenarioStep::kClose:
      if (open == market.end()) break;
      open->close_time = now;
      open->close_price = step.order.close_price;
      history.push_back(*open);
      market.erase(open);
      break;
    case ScenarioStep::kWait:
      break;
  }
}

void SimAccount::OpenGenerated(int count) {
  const char* const symbols[] = {"EURUSD", "GBPUSD", "USDJPY", "USDCHF", "AUDUSD"};
  for (int i = 0; i < count; i++) {
    SimOrder o;
    o.ticket = 1000 + i;
    o.open_time = kFirstOpenTime + kStepSeconds * i;
    o.type = i % 2;
    o.lots = 0.1 * (1 + i % 5);
    o.symbol = symbols[i % 5];
    o.open_price = 1.2 + 0.0001 * i;
    o.comment = "sim";
    market.push_back(o);
  }
}
