#include "copy_settings.h"

#include <charconv>
#include <cmath>
#include <string>
#include <type_traits>

#include "ascii_case.h"
#include "ascii_text.h"
#include "fixed_point.h"

namespace {

// Each reader returns why the value is bad, or nullptr when it took it.
using Reader = const char* (*)(CopySettings&, std::string_view value);

template <typename Number>
bool ReadNumber(std::string_view text, Number& out) {
  Number value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return false;
  if constexpr (std::is_floating_point_v<Number>)
    if (!std::isfinite(value)) return false;
  out = value;
  return true;
}

const char* ReadLots(std::string_view text, double& out, bool zero_allowed) {
  double value;
  if (!ReadNumber(text, value) || value < 0 || (value == 0 && !zero_allowed))
    return zero_allowed ? "not a number of 0 or more" : "not a number above 0";
  out = value;
  return nullptr;
}

const char* ReadLimit(std::string_view text, int32_t& out) {
  int32_t value;
  if (!ReadNumber(text, value) || value < 0) return "not a whole number of 0 or more";
  out = value;
  return nullptr;
}

const char* ReadOffset(std::string_view text, int32_t& out) {
  int32_t value;
  if (!ReadNumber(text, value) || value < -kMaxMasterTimeOffset || value > kMaxMasterTimeOffset)
    return "not a whole number of seconds from -172800 to 172800";
  out = value;
  return nullptr;
}

const char* ReadYesNo(std::string_view text, bool& out) {
  for (const char* yes : {"yes", "true", "on", "1"})
    if (EqualsIgnoringCase(text, yes)) return out = true, nullptr;
  for (const char* no : {"no", "false", "off", "0"})
    if (EqualsIgnoringCase(text, no)) return out = false, nullptr;
  return "not yes or no";
}

// Calls `take` for every non-empty ','-separated item; stops at the first complaint.
template <typename Take>
const char* ForEachListItem(std::string_view list, Take take) {
  while (!list.empty()) {
    size_t comma = list.find(',');
    std::string_view item = TrimBlanks(list.substr(0, comma));
    if (!item.empty())
      if (const char* why = take(item)) return why;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return nullptr;
}

const char* ReadNames(std::string_view text, std::vector<std::string>& out) {
  return ForEachListItem(text, [&](std::string_view name) -> const char* {
    out.emplace_back(name);
    return nullptr;
  });
}

struct Key {
  const char* name;
  Reader read;
};

const Key kKeys[] = {
    {"lot_multiplier", [](CopySettings& s, std::string_view v) { return ReadLots(v, s.lot_multiplier, false); }},
    {"fixed_lots", [](CopySettings& s, std::string_view v) { return ReadLots(v, s.fixed_lots, true); }},
    {"max_lots", [](CopySettings& s, std::string_view v) { return ReadLots(v, s.max_lots, true); }},
    {"symbol_map",
     [](CopySettings& s, std::string_view v) {
       return ForEachListItem(v, [&](std::string_view pair) -> const char* {
         size_t equals = pair.find('=');
         std::string_view master = TrimBlanks(pair.substr(0, equals));
         std::string_view slave = equals == pair.npos ? "" : TrimBlanks(pair.substr(equals + 1));
         if (master.empty() || slave.empty()) return "not a list of MASTER=SLAVE pairs";
         s.symbol_map.push_back({std::string(master), std::string(slave)});
         return nullptr;
       });
     }},
    {"master_prefix", [](CopySettings& s, std::string_view v) { return s.master_prefix = v, (const char*)nullptr; }},
    {"master_suffix", [](CopySettings& s, std::string_view v) { return s.master_suffix = v, (const char*)nullptr; }},
    {"slave_prefix", [](CopySettings& s, std::string_view v) { return s.slave_prefix = v, (const char*)nullptr; }},
    {"slave_suffix", [](CopySettings& s, std::string_view v) { return s.slave_suffix = v, (const char*)nullptr; }},
    {"reverse", [](CopySettings& s, std::string_view v) { return ReadYesNo(v, s.reverse); }},
    {"copy_pending", [](CopySettings& s, std::string_view v) { return ReadYesNo(v, s.copy_pending); }},
    {"copy_stops", [](CopySettings& s, std::string_view v) { return ReadYesNo(v, s.copy_stops); }},
    {"max_deviation_points", [](CopySettings& s, std::string_view v) { return ReadLimit(v, s.max_deviation_points); }},
    {"max_signal_age", [](CopySettings& s, std::string_view v) { return ReadLimit(v, s.max_signal_age); }},
    {"copy_old", [](CopySettings& s, std::string_view v) { return ReadYesNo(v, s.copy_old); }},
    {"allow_symbols", [](CopySettings& s, std::string_view v) { return ReadNames(v, s.allow_symbols); }},
    {"deny_symbols", [](CopySettings& s, std::string_view v) { return ReadNames(v, s.deny_symbols); }},
    {"allow_magics",
     [](CopySettings& s, std::string_view v) {
       return ForEachListItem(v, [&](std::string_view item) -> const char* {
         int32_t magic;
         if (!ReadNumber(item, magic)) return "not a list of whole numbers";
         s.allow_magics.push_back(magic);
         return nullptr;
       });
     }},
    {"comment_contains", [](CopySettings& s, std::string_view v) { return s.comment_contains = v, (const char*)nullptr; }},
    {"masters", [](CopySettings& s, std::string_view v) { return ReadNames(v, s.masters); }},
    {"master_time_offset", [](CopySettings& s, std::string_view v) { return ReadOffset(v, s.master_time_offset); }},
    {"netting", [](CopySettings& s, std::string_view v) { return ReadYesNo(v, s.netting); }},
};

// A list value is checked whole before it counts, so a bad item adds none of its list.
void ReadItem(std::string_view item, ParsedSettings& parsed) {
  size_t equals = item.find('=');
  std::string_view key = TrimBlanks(item.substr(0, equals));
  for (const Key& known : kKeys) {
    if (!EqualsIgnoringCase(key, known.name)) continue;
    if (equals == item.npos) {
      parsed.problems.push_back(std::string(item) + ": no '=' and value");
      return;
    }
    CopySettings trial = parsed.settings;
    if (const char* why = known.read(trial, TrimBlanks(item.substr(equals + 1))))
      parsed.problems.push_back(std::string(item) + ": " + why);
    else
      parsed.settings = std::move(trial);
    return;
  }
  parsed.problems.push_back(std::string(item) + ": unknown key");
}

void AppendReal(std::string& out, double value) {
  char text[32];
  auto r = std::to_chars(text, text + sizeof text, value);
  out.append(text, r.ptr);
}

void AppendList(std::string& out, const std::vector<std::string>& names) {
  for (size_t i = 0; i < names.size(); i++) out += (i ? ", " : "") + names[i];
}

}  // namespace

ParsedSettings ParseCopySettings(std::string_view text) {
  ParsedSettings parsed;
  while (!text.empty()) {
    size_t end = text.find_first_of(";\r\n");
    std::string_view item = TrimBlanks(text.substr(0, end));
    if (!item.empty() && item.front() != '#') ReadItem(item, parsed);
    if (end == text.npos) break;
    text.remove_prefix(end + 1);
  }
  // A netting plan deals a master's whole share away when it is not in the set; only the
  // masters named tell a master that is away from one that never was.
  if (parsed.settings.netting && parsed.settings.masters.empty())
    parsed.problems.push_back("netting = yes: masters must name the master logins to copy, or a master "
                              "away from the hub would count as holding nothing");
  return parsed;
}

std::string FormatCopySettings(const CopySettings& s) {
  std::string out;
  auto line = [&](const char* key) { (out += key) += " = "; };
  auto yes_no = [&](const char* key, bool value) { line(key), out += value ? "yes\n" : "no\n"; };
  line("lot_multiplier"), AppendReal(out, s.lot_multiplier), out += '\n';
  line("fixed_lots"), AppendReal(out, s.fixed_lots), out += '\n';
  line("max_lots"), AppendReal(out, s.max_lots), out += '\n';
  line("symbol_map");
  for (size_t i = 0; i < s.symbol_map.size(); i++)
    out += (i ? ", " : "") + s.symbol_map[i].master + "=" + s.symbol_map[i].slave;
  out += '\n';
  line("master_prefix"), out += s.master_prefix + '\n';
  line("master_suffix"), out += s.master_suffix + '\n';
  line("slave_prefix"), out += s.slave_prefix + '\n';
  line("slave_suffix"), out += s.slave_suffix + '\n';
  yes_no("reverse", s.reverse);
  yes_no("copy_pending", s.copy_pending);
  yes_no("copy_stops", s.copy_stops);
  line("max_deviation_points"), AppendInt(out, s.max_deviation_points), out += '\n';
  line("max_signal_age"), AppendInt(out, s.max_signal_age), out += '\n';
  yes_no("copy_old", s.copy_old);
  line("allow_symbols"), AppendList(out, s.allow_symbols), out += '\n';
  line("deny_symbols"), AppendList(out, s.deny_symbols), out += '\n';
  line("allow_magics");
  for (size_t i = 0; i < s.allow_magics.size(); i++) {
    if (i) out += ", ";
    AppendInt(out, s.allow_magics[i]);
  }
  out += '\n';
  line("comment_contains"), out += s.comment_contains + '\n';
  line("masters"), AppendList(out, s.masters), out += '\n';
  line("master_time_offset"), AppendInt(out, s.master_time_offset), out += '\n';
  yes_no("netting", s.netting);
  return out;
}

bool FollowsMaster(const CopySettings& settings, std::string_view login) {
  if (settings.masters.empty()) return true;
  for (const std::string& followed : settings.masters)
    if (followed == login) return true;
  return false;
}
