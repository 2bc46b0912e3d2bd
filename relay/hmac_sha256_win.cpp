#include "hmac_sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>

namespace {

constexpr ULONG kLongestPiece = 1u << 30;  // BCrypt takes a ULONG length; size_t may be wider.

bool NtSuccess(NTSTATUS status) { return status >= 0; }

// The providers are opened once and kept for the life of the process; opening one per call costs
// more than hashing an image.
BCRYPT_ALG_HANDLE OpenProvider(ULONG flags) {
  BCRYPT_ALG_HANDLE provider = NULL;
  if (!NtSuccess(BCryptOpenAlgorithmProvider(&provider, BCRYPT_SHA256_ALGORITHM, NULL, flags)))
    return NULL;
  return provider;
}

bool Hash(BCRYPT_ALG_HANDLE provider, const uint8_t* key, size_t keySize, const uint8_t* data,
          size_t size, Sha256Digest& digest) {
  if (provider == NULL || keySize > kLongestPiece) return false;
  BCRYPT_HASH_HANDLE hash = NULL;
  if (!NtSuccess(BCryptCreateHash(provider, &hash, NULL, 0, const_cast<PUCHAR>(key),
                                  static_cast<ULONG>(keySize), 0)))
    return false;
  bool ok = true;
  for (size_t done = 0; ok && done < size;) {
    const ULONG piece = static_cast<ULONG>(std::min<size_t>(size - done, kLongestPiece));
    ok = NtSuccess(BCryptHashData(hash, const_cast<PUCHAR>(data + done), piece, 0));
    done += piece;
  }
  ok = ok && NtSuccess(BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
  BCryptDestroyHash(hash);
  return ok;
}

}  // namespace

bool Sha256(const uint8_t* data, size_t size, Sha256Digest& digest) {
  static const BCRYPT_ALG_HANDLE provider = OpenProvider(0);
  return Hash(provider, NULL, 0, data, size, digest);
}

bool HmacSha256(const uint8_t* key, size_t keySize, const uint8_t* data, size_t size,
                Sha256Digest& digest) {
  static const BCRYPT_ALG_HANDLE provider = OpenProvider(BCRYPT_ALG_HANDLE_HMAC_FLAG);
  return Hash(provider, key, keySize, data, size, digest);
}
