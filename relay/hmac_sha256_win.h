#pragma once
// SHA-256 and HMAC-SHA256 by the system's cryptography (CNG): the envelope's signature and the
// broker certificate's fingerprint.
#include <array>
#include <cstddef>
#include <cstdint>

using Sha256Digest = std::array<uint8_t, 32>;

// Both answer false only when the system's provider fails.
bool Sha256(const uint8_t* data, size_t size, Sha256Digest& digest);
bool HmacSha256(const uint8_t* key, size_t keySize, const uint8_t* data, size_t size,
                Sha256Digest& digest);
