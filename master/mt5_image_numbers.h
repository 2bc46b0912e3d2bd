// How MT5's 64-bit tickets, magic numbers and times become the 32-bit numbers of an image order.
#pragma once
#include <cstdint>

namespace mt5 {

// The low 31 bits: tickets and position identifiers grow by one per order, so they stay unique
// among any 2^31 consecutive ones. A value whose low 31 bits are 0 (no valid ticket to the
// slaves) becomes 2^30, the number farthest from its neighbours' in that cycle: unique still
// among the 2^30 orders on either side of it.
int32_t ImageTicket(int64_t ticket);

// The low 32 bits, as MT4 experts keep their magic numbers in an int.
int32_t ImageMagic(int64_t magic);

// Seconds since 1970 as the image's int, as MT4 experts write (int)OrderOpenTime().
int32_t ImageTime(int64_t time);

}  // namespace mt5
