#include "order_line.h"

#include <algorithm>

#include "fixed_point.h"

namespace {

// A precision outside 0..16 is no price or volume precision; std::to_chars would read a negative
// one as six decimals, and a huge one would not fit AppendFixed's buffer.
int ClampDigits(int digits) { return std::clamp(digits, 0, kMaxDigits); }

// A TAB or line feed inside a text would split the line into the wrong number of fields, and
// every slave would then reject the whole image set: such characters become blanks.
void AppendText(std::string& out, std::string_view text) {
  for (char c : text) out += (c == '\t' || c == '\n') ? ' ' : c;
}

}  // namespace

std::string FormatOrderLine(const OrderFields& o, int price_digits, int lots_digits) {
  const int p = ClampDigits(price_digits);
  const int l = ClampDigits(lots_digits);

  // The numbers are never shortened; they are formatted first to know what room is left.
  std::string head;  // fields 1 to 4, each followed by its TAB
  AppendInt(head, o.num1), head += '\t';
  AppendInt(head, o.num2), head += '\t';
  AppendInt(head, o.type), head += '\t';
  AppendFixed(head, o.lots, l), head += '\t';
  std::string middle;  // fields 6 to 12, between the TABs around them
  middle += '\t';
  AppendFixed(middle, o.price6, p), middle += '\t';
  AppendFixed(middle, o.price7, p), middle += '\t';
  AppendFixed(middle, o.price8, p), middle += '\t';
  AppendInt(middle, o.close_time), middle += '\t';
  AppendFixed(middle, o.close_price, p), middle += '\t';
  AppendInt(middle, o.num11), middle += '\t';
  AppendInt(middle, o.num12), middle += '\t';

  // A line longer than the slaves' 1023 characters gives up comment characters first, then
  // symbol characters. Only absurd numbers (around 1e300) can overflow on their own; they are
  // written whole rather than changed.
  const size_t fixed = head.size() + middle.size();
  size_t room = fixed < kMaxOrderLineLength ? kMaxOrderLineLength - fixed : 0;
  std::string_view symbol = o.symbol.substr(0, std::min(o.symbol.size(), room));
  room -= symbol.size();
  std::string_view comment = o.comment.substr(0, std::min(o.comment.size(), room));

  std::string line = std::move(head);
  AppendText(line, symbol);
  line += middle;
  AppendText(line, comment);
  return line;
}
