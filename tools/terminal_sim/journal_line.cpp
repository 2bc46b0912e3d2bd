#include "journal_line.h"

#include <charconv>
#include <variant>
#include <vector>

namespace {

struct KindFields {
  const char* name;
  std::vector<std::string_view> fields;
};

// In JournalEvent::Kind order.
const KindFields kKinds[] = {
    {"open", {"ticket", "time", "type", "lots", "symbol", "price", "sl", "tp", "expiration", "magic", "comment"}},
    {"close", {"ticket", "time", "price", "by"}},
    {"partial", {"ticket", "time", "lots", "price", "remainder"}},
    {"modify", {"ticket", "time", "price", "sl", "tp", "expiration"}},
    {"delete", {"ticket", "time", "price"}},
    {"trigger", {"ticket", "time", "type"}},
    {"expire", {"ticket", "time", "price"}},
};

const char* const kClosedByNames[] = {"expert", "sl", "tp"};  // in ClosedBy order

using FieldRef = std::variant<int*, double*, std::string*, ClosedBy*>;

FieldRef Bind(JournalEvent& e, std::string_view name) {
  SimOrder& o = e.order;
  if (name == "ticket") return &o.ticket;
  if (name == "time") return &e.time;
  if (name == "type") return &o.type;
  if (name == "lots") return &o.lots;
  if (name == "symbol") return &o.symbol;
  if (name == "sl") return &o.stop_loss;
  if (name == "tp") return &o.take_profit;
  if (name == "expiration") return &o.expiration;
  if (name == "magic") return &o.magic;
  if (name == "comment") return &o.comment;
  if (name == "remainder") return &e.remainder_ticket;
  if (name == "by") return &e.by;
  // "price": where an order opens or stands for an open and a modify, else where it closed
  return e.kind == JournalEvent::kOpen || e.kind == JournalEvent::kModify ? &o.open_price
                                                                          : &o.close_price;
}

bool Escaped(unsigned char c) { return c <= ' ' || c == '%' || c == 0x7f; }

bool ReadEscaped(std::string_view text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] != '%') {
      if (Escaped(static_cast<unsigned char>(text[i]))) return false;
      out += text[i];
      continue;
    }
    unsigned value = 0;
    if (text.size() - i < 3) return false;
    auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
    if (error != std::errc() || end != text.data() + i + 3) return false;
    out += static_cast<char>(value);
    i += 2;
  }
  return true;
}

template <typename Number>
void AppendNumber(std::string& out, Number value) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

template <typename Number>
bool ReadNumber(std::string_view text, Number& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

struct Append {
  std::string& out;
  void operator()(int* v) const { AppendNumber(out, *v); }
  void operator()(double* v) const { AppendNumber(out, *v); }
  void operator()(std::string* v) const { AppendEscaped(out, *v); }
  void operator()(ClosedBy* v) const { out += kClosedByNames[static_cast<int>(*v)]; }
};

struct Read {
  std::string_view text;
  bool operator()(int* v) const { return ReadNumber(text, *v); }
  bool operator()(double* v) const { return ReadNumber(text, *v); }
  bool operator()(std::string* v) const { return ReadEscaped(text, *v); }
  bool operator()(ClosedBy* v) const {
    for (int i = 0; i < 3; i++)
      if (text == kClosedByNames[i]) return *v = static_cast<ClosedBy>(i), true;
    return false;
  }
};

}  // namespace

std::string FormatJournalLine(const JournalEvent& event) {
  JournalEvent e = event;  // Bind hands out pointers into an event it may change
  const KindFields& kind = kKinds[e.kind];
  std::string line = kind.name;
  for (std::string_view field : kind.fields) {
    line += ' ';
    line += field;
    line += '=';
    std::visit(Append{line}, Bind(e, field));
  }
  return line;
}

bool ParseJournalLine(std::string_view line, JournalEvent& event) {
  event = JournalEvent{};
  const size_t blank = line.find(' ');
  const std::string_view kind_name = line.substr(0, blank);
  const KindFields* kind = nullptr;
  for (const KindFields& k : kKinds)
    if (kind_name == k.name) kind = &k;
  if (!kind) return false;
  event.kind = static_cast<JournalEvent::Kind>(kind - kKinds);

  std::vector<bool> seen(kind->fields.size());
  for (size_t start = blank, end; start != std::string_view::npos; start = end) {
    end = line.find(' ', start + 1);
    const std::string_view token = line.substr(start + 1, end - start - 1);
    const size_t equals = token.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view name = token.substr(0, equals);
    size_t index = 0;
    while (index < kind->fields.size() && kind->fields[index] != name) index++;
    if (index == kind->fields.size() || seen[index]) return false;
    seen[index] = true;
    if (!std::visit(Read{token.substr(equals + 1)}, Bind(event, name))) return false;
  }
  for (bool field_seen : seen)
    if (!field_seen) return false;
  return true;
}

void AppendEscaped(std::string& out, const std::string& text) {
  const char* const kHex = "0123456789ABCDEF";
  for (unsigned char c : text) {
    if (!Escaped(c)) {
      out += static_cast<char>(c);
      continue;
    }
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
}
