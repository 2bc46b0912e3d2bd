// The two sections of an image, numbered as the experts number them.
#pragma once
#include <cstdint>

enum OrderPool : int32_t { kMarketOrders = 0, kHistoryOrders = 1 };
