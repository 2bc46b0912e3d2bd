#pragma once
// A SHA-256 value: an envelope's MAC, a pinned certificate's fingerprint.
#include <array>
#include <cstdint>
#include <string>

using Sha256Digest = std::array<uint8_t, 32>;

// The digest as 64 lower-case hex digits, the form the envelope carries and the settings take.
std::string DigestHex(const Sha256Digest& digest);
