#include "fake_slave_library.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "mql_program.h"

SlaveLibrary g_library;

namespace {

std::string Text(const mql::uchar* bytes) { return bytes ? reinterpret_cast<const char*>(bytes) : "(none)"; }

void Copy(const std::string& text, mql::uchar* bytes, int size) {
  const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(bytes, text.data(), n);
  bytes[n] = 0;
}

int MQL_STDCALL Zero2(int, int) { return 0; }
int MQL_STDCALL Zero1(int) { return 0; }
int MQL_STDCALL FindWindow(mql::uchar*) { return 1; }
int MQL_STDCALL WaitCrc(int, int) { return g_library.published; }
int MQL_STDCALL ImagesGet(int) { return g_library.fetches++, 100; }
int MQL_STDCALL ImagesCalcCrc() { return g_library.held; }
int MQL_STDCALL ImagesSplit() { return g_library.held = g_library.published, 1; }
int MQL_STDCALL Settings(int, mql::uchar* text, int size) {
  g_library.settings.assign(reinterpret_cast<const char*>(text), static_cast<size_t>(size));
  return g_library.problems;
}
int MQL_STDCALL Begin(int, int now, int since) {
  g_library.begun = std::to_string(now) + " " + std::to_string(since);
  g_library.given.clear();
  g_library.facts.clear();
  return 0;
}
int MQL_STDCALL OrderAdd(int, int pool, int ticket, int type, double lots, mql::uchar* symbol, int, double open,
                         double sl, double tp, int magic, int expiration) {
  char line[256];
  std::snprintf(line, sizeof line, "%d: #%d type %d %g %s at %g sl %g tp %g magic %d exp %d", pool, ticket, type, lots,
                Text(symbol).c_str(), open, sl, tp, magic, expiration);
  g_library.given.push_back(line);
  return 0;
}
int MQL_STDCALL SymbolsWanted(int) { return static_cast<int>(g_library.symbols.size()); }
int MQL_STDCALL SymbolName(int, int index, mql::uchar* name, int size) {
  Copy(g_library.symbols[index], name, size);
  return 1;
}
int MQL_STDCALL SymbolAdd(int, mql::uchar* name, int, int exists, int digits, double point, double lot_min,
                          double lot_max, double lot_step, int stops, double bid, double ask) {
  char line[256];
  std::snprintf(line, sizeof line, "%s exists %d digits %d point %g lots %g..%g by %g stops %d bid %g ask %g",
                Text(name).c_str(), exists, digits, point, lot_min, lot_max, lot_step, stops, bid, ask);
  g_library.facts.push_back(line);
  return 0;
}
int MQL_STDCALL Plan(int) { return static_cast<int>(g_library.plan.size()); }
int MQL_STDCALL ActionGet(int, int index, int* kind, int* ticket, mql::uchar* symbol, int symbol_size, int* type,
                          double* lots, double* price, double* sl, double* tp, int* expiration, int* magic,
                          mql::uchar* comment, int comment_size) {
  const Action& a = g_library.plan[index];
  *kind = a.kind, *ticket = a.ticket, *type = a.type, *lots = a.lots, *price = a.price, *sl = a.sl, *tp = a.tp;
  *expiration = a.expiration, *magic = a.magic;
  Copy(a.symbol, symbol, symbol_size);
  Copy(a.comment, comment, comment_size);
  return 1;
}
int MQL_STDCALL ActionDone(int, int index, int error, int new_ticket) {
  g_library.done.push_back(std::to_string(index) + ": error " + std::to_string(error) + ", ticket " +
                           std::to_string(new_ticket));
  return 1;
}
int MQL_STDCALL LogCount(int) { return static_cast<int>(g_library.log.size()); }
int MQL_STDCALL LogGet(int, int index, mql::uchar* line, int size) {
  Copy(g_library.log[index], line, size);
  return 1;
}

}  // namespace

void InstallFakeSlaveLibrary(std::map<std::string, void*>& table) {
  const std::pair<const char*, void*> functions[] = {
      {"_init", reinterpret_cast<void*>(&Zero2)},
      {"_deinit", reinterpret_cast<void*>(&Zero2)},
      {"_find_window", reinterpret_cast<void*>(&FindWindow)},
      {"_qelv_marker_send", reinterpret_cast<void*>(&Zero2)},
      {"_qelv_wait_crc", reinterpret_cast<void*>(&WaitCrc)},
      {"_qelv_images_get", reinterpret_cast<void*>(&ImagesGet)},
      {"_images_calc_crc", reinterpret_cast<void*>(&ImagesCalcCrc)},
      {"_images_split", reinterpret_cast<void*>(&ImagesSplit)},
      {"_copier_settings", reinterpret_cast<void*>(&Settings)},
      {"_copier_begin", reinterpret_cast<void*>(&Begin)},
      {"_copier_order_add", reinterpret_cast<void*>(&OrderAdd)},
      {"_copier_symbols_wanted", reinterpret_cast<void*>(&SymbolsWanted)},
      {"_copier_symbol_name", reinterpret_cast<void*>(&SymbolName)},
      {"_copier_symbol_add", reinterpret_cast<void*>(&SymbolAdd)},
      {"_copier_plan", reinterpret_cast<void*>(&Plan)},
      {"_copier_action_get", reinterpret_cast<void*>(&ActionGet)},
      {"_copier_action_done", reinterpret_cast<void*>(&ActionDone)},
      {"_copier_log_count", reinterpret_cast<void*>(&LogCount)},
      {"_copier_log_get", reinterpret_cast<void*>(&LogGet)},
      {"_copier_end", reinterpret_cast<void*>(&Zero1)}};
  for (const auto& [name, function] : functions) table[std::string("qelv_r30uv.dll::") + name] = function;
}
