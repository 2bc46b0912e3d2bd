#include "plan_texts.h"

#include "fixed_point.h"

std::string PriceText(double price, int32_t digits) {
  std::string text;
  AppendFixed(text, price, digits);
  return text;
}

std::string LotsText(double lots) {
  std::string text;
  AppendFixed(text, lots, 8);
  while (text.size() > 3 && text.back() == '0' && text[text.size() - 3] != '.') text.pop_back();
  return text;
}
