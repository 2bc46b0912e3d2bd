#pragma once
// A SHA-256 value: an envelope's MAC, a pinned certificate's fingerprint.
#include <array>
#include <cstdint>

using Sha256Digest = std::array<uint8_t, 32>;
