// A keyed stand-in for HMAC-SHA256 in the native tests: four FNV-1a runs with different seeds over
// key and data. Each step of FNV-1a is a bijection, so any one altered byte changes the result,
// and another key gives another result.
#pragma once
#include <string>
#include <string_view>

#include "relay_envelope.h"

inline MacFunction FakeMac(std::string key) {
  return [key](std::string_view data, Mac& mac) {
    for (size_t part = 0; part < 4; part++) {
      uint64_t h = 0xcbf29ce484222325ull + part;
      for (std::string_view bytes : {std::string_view(key), std::string_view("|"), data})
        for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
      for (size_t i = 0; i < 8; i++) mac[part * 8 + i] = static_cast<uint8_t>(h >> (8 * i));
    }
    return true;
  };
}

inline MacFunction FailingMac() {
  return [](std::string_view, Mac&) { return false; };
}
