#pragma once
// SHA-256 and HMAC-SHA256 by the system's cryptography (CNG): the envelope's signature and the
// broker certificate's fingerprint.
#include <cstddef>
#include <cstdint>

#include "sha256_digest.h"

// Both answer false only when the system's provider fails.
bool Sha256(const uint8_t* data, size_t size, Sha256Digest& digest);
bool HmacSha256(const uint8_t* key, size_t keySize, const uint8_t* data, size_t size,
                Sha256Digest& digest);
