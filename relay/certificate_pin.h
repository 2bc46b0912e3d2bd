#pragma once
// A pinned server certificate: the SHA-256 of its encoded form, written as 64 hex digits
// (either case, optionally in colon-separated pairs as certificate tools print it).
#include <optional>
#include <string_view>

#include "sha256_digest.h"

std::optional<Sha256Digest> ParseCertificatePin(std::string_view text);
