#include "mt5_image_numbers.h"

namespace mt5 {

int32_t ImageTicket(int64_t ticket) {
  const auto low = static_cast<int32_t>(static_cast<uint64_t>(ticket) & 0x7FFFFFFFu);
  return low != 0 ? low : 0x40000000;
}

int32_t ImageMagic(int64_t magic) { return static_cast<int32_t>(static_cast<uint64_t>(magic)); }

int32_t ImageTime(int64_t time) { return static_cast<int32_t>(static_cast<uint64_t>(time)); }

}  // namespace mt5
