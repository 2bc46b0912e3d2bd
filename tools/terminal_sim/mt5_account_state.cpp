#include "mt5_account_state.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "journal_line.h"

namespace {

void Field(std::string& out, const char* key, double value) {
  char text[32];
  auto end = std::to_chars(text, text + sizeof text, value).ptr;
  ((out += ' ') += key) += '=';
  out.append(text, end);
}

void Field(std::string& out, const char* key, uint64_t value) {
  ((out += ' ') += key) += '=';
  out += std::to_string(value);
}

void Field(std::string& out, const char* key, const std::string& value) {
  (((out += ' ') += key) += '=') += value;
}

void Comment(std::string& out, const std::string& comment) {
  out += " comment=";
  AppendEscaped(out, comment);
}

}  // namespace

std::string DescribeMt5Account(Mt5TradeServer& server) {
  std::string out;
  Mt5Position p;
  for (int i = 0; server.PositionByIndex(i, p); i++) {
    out += "position";
    Field(out, "ticket", p.ticket), Field(out, "symbol", p.symbol), Field(out, "type", uint64_t{p.buy ? 0u : 1u});
    Field(out, "volume", p.volume), Field(out, "price", p.price_open), Field(out, "sl", p.sl), Field(out, "tp", p.tp);
    Field(out, "magic", p.magic), Comment(out, p.comment), out += '\n';
  }
  Mt5Order o;
  for (int i = 0; server.OrderByIndex(i, o); i++) {
    out += "order";
    Field(out, "ticket", o.ticket), Field(out, "symbol", o.symbol), Field(out, "type", static_cast<uint64_t>(o.type));
    Field(out, "volume", o.volume), Field(out, "price", o.price_open), Field(out, "sl", o.sl), Field(out, "tp", o.tp);
    Field(out, "magic", o.magic), Comment(out, o.comment), out += '\n';
  }
  for (const Mt5Deal& d : server.HistoryDeals(0, std::numeric_limits<int64_t>::max())) {
    out += "deal";
    Field(out, "ticket", d.ticket), Field(out, "position", d.position_id);
    Field(out, "entry", static_cast<uint64_t>(d.entry)), Field(out, "type", uint64_t{d.buy ? 0u : 1u});
    Field(out, "volume", d.volume), Field(out, "price", d.price), Field(out, "magic", d.magic), out += '\n';
  }
  return out;
}
