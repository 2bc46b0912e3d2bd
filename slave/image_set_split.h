// Splits an image-set text into the slave's model.
#pragma once
#include <string_view>

#include "image_set_model.h"

// Rebuilds `set` from `text`, read up to its first NUL. Returns 1 when the whole text was read,
// 0 when an order line without exactly 13 fields stopped it (or memory ran out); `set` then
// keeps what was read before, and its error text says why.
int SplitImageSet(std::string_view text, ImageSet& set) noexcept;
