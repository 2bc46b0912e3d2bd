// The symbol and comment of a master's order as views, up to the NUL of their buffers.
#pragma once
#include <cstring>
#include <string_view>

#include "image_set_model.h"

inline std::string_view SymbolOf(const TOrder& order) {
  return {order.symbol, strnlen(order.symbol, sizeof order.symbol)};
}

inline std::string_view CommentOf(const TOrder& order) {
  return {order.comment, strnlen(order.comment, sizeof order.comment)};
}
