#include "relay_envelope.h"

#include <algorithm>

namespace {

constexpr std::string_view kMagic = "qelv-relay ";
constexpr std::string_view kVersion = "2";
constexpr std::string_view kRemovedLine = "removed\n";
constexpr std::string_view kMacField = "mac ";
constexpr char kHex[] = "0123456789abcdef";

// The value of the line "<name> <value>\n" at the front of `rest`, which then moves past it.
bool TakeField(std::string_view& rest, std::string_view name, std::string_view& value) {
  if (rest.size() <= name.size() || rest.substr(0, name.size()) != name || rest[name.size()] != ' ')
    return false;
  const size_t value_at = name.size() + 1;
  const size_t lf = rest.find('\n', value_at);
  if (lf == std::string_view::npos) return false;
  value = rest.substr(value_at, lf - value_at);
  rest.remove_prefix(lf + 1);
  return true;
}

bool ParseMac(std::string_view hex, Mac& mac) {
  if (hex.size() != 2 * mac.size()) return false;
  for (size_t i = 0; i < mac.size(); i++) {
    const char* high = std::find(kHex, kHex + 16, hex[2 * i]);
    const char* low = std::find(kHex, kHex + 16, hex[2 * i + 1]);
    if (high == kHex + 16 || low == kHex + 16) return false;
    mac[i] = static_cast<uint8_t>((high - kHex) << 4 | (low - kHex));
  }
  return true;
}

// Every byte compared whatever the first difference, so the time taken says nothing about where
// a forged MAC goes wrong.
bool EqualInConstantTime(const Mac& a, const Mac& b) {
  uint8_t difference = 0;
  for (size_t i = 0; i < a.size(); i++) difference |= a[i] ^ b[i];
  return difference == 0;
}

std::pair<std::string, std::string> Key(std::string_view channel, std::string_view login) {
  return {std::string(channel), std::string(login)};
}

}  // namespace

bool ParseStrictDecimal(std::string_view text, uint64_t max, uint64_t& out) {
  if (text.empty() || text.size() > 20 || (text.size() > 1 && text[0] == '0')) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (max - digit) / 10) return false;
    value = value * 10 + digit;
  }
  out = value;
  return true;
}

bool IsEnvelopeName(std::string_view name) {
  if (name.empty() || name.size() > kMaxEnvelopeNameBytes) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return c > ' ' && c < 0x7F && c != '/' && c != '+' && c != '#';
  });
}

std::string SealEnvelope(const Envelope& e, const MacFunction& mac) {
  if (!IsEnvelopeName(e.channel) || !IsEnvelopeName(e.login) || e.image.size() > kMaxImageBytes ||
      e.time_ms < 0 || (e.removed && !e.image.empty()))
    return {};
  std::string text;
  text.reserve(e.image.size() + 256);
  text.append(kMagic).append(kVersion).append("\n");
  text.append("channel ").append(e.channel).append("\n");
  text.append("login ").append(e.login).append("\n");
  text.append("seq ").append(std::to_string(e.seq)).append("\n");
  text.append("time ").append(std::to_string(e.time_ms)).append("\n");
  if (e.removed) {
    text.append(kRemovedLine);
  } else {
    text.append("image-bytes ").append(std::to_string(e.image.size())).append("\n");
    text.append(e.image).append("\n");
  }
  Mac value;
  if (!mac(text, value)) return {};
  text.append(kMacField).append(DigestHex(value)).append("\n");
  return text;
}

const char* EnvelopeVerdictText(EnvelopeVerdict verdict) {
  switch (verdict) {
    case EnvelopeVerdict::kOpened: return "signed and sound";
    case EnvelopeVerdict::kUnsigned: return "unsigned";
    case EnvelopeVerdict::kMalformed: return "malformed envelope";
    case EnvelopeVerdict::kOtherVersion:
      return "envelope of another version than this relay's: give every relay of the channel the "
             "same release";
    case EnvelopeVerdict::kBadMac: return "bad signature";
    case EnvelopeVerdict::kMacUnavailable: return "signature could not be computed";
    case EnvelopeVerdict::kChannelMismatch: return "envelope names another channel than its topic";
    case EnvelopeVerdict::kLoginMismatch: return "envelope names another login than its topic";
  }
  return "unknown";
}

EnvelopeVerdict OpenEnvelope(std::string_view payload, std::string_view topic_channel,
                             std::string_view topic_login, const MacFunction& mac, Envelope& out) {
  std::string_view rest = payload, version, channel, login, seq_text, time_text, size_text;
  if (!TakeField(rest, kMagic.substr(0, kMagic.size() - 1), version)) return EnvelopeVerdict::kUnsigned;
  if (version != kVersion) return EnvelopeVerdict::kOtherVersion;
  Envelope e;
  uint64_t time_ms = 0, image_size = 0;
  if (!TakeField(rest, "channel", channel) || !IsEnvelopeName(channel) ||
      !TakeField(rest, "login", login) || !IsEnvelopeName(login) ||
      !TakeField(rest, "seq", seq_text) || !ParseStrictDecimal(seq_text, UINT64_MAX, e.seq) ||
      !TakeField(rest, "time", time_text) || !ParseStrictDecimal(time_text, INT64_MAX, time_ms))
    return EnvelopeVerdict::kMalformed;
  if (rest.starts_with(kRemovedLine)) {
    e.removed = true;
    rest.remove_prefix(kRemovedLine.size());
  } else {
    if (!TakeField(rest, "image-bytes", size_text) ||
        !ParseStrictDecimal(size_text, kMaxImageBytes, image_size) || rest.size() < image_size + 1 ||
        rest[image_size] != '\n')
      return EnvelopeVerdict::kMalformed;
    e.image.assign(rest.substr(0, image_size));
    rest.remove_prefix(image_size + 1);
  }
  const std::string_view signed_part = payload.substr(0, payload.size() - rest.size());

  if (rest.empty()) return EnvelopeVerdict::kUnsigned;
  std::string_view mac_hex;
  Mac claimed, computed;
  if (!TakeField(rest, kMacField.substr(0, kMacField.size() - 1), mac_hex) || !rest.empty() ||
      !ParseMac(mac_hex, claimed))
    return EnvelopeVerdict::kMalformed;
  if (!mac(signed_part, computed)) return EnvelopeVerdict::kMacUnavailable;
  if (!EqualInConstantTime(claimed, computed)) return EnvelopeVerdict::kBadMac;
  if (channel != topic_channel) return EnvelopeVerdict::kChannelMismatch;
  if (login != topic_login) return EnvelopeVerdict::kLoginMismatch;

  e.channel.assign(channel);
  e.login.assign(login);
  e.time_ms = static_cast<int64_t>(time_ms);
  out = std::move(e);
  return EnvelopeVerdict::kOpened;
}

uint64_t NextSequence(uint64_t last, int64_t now_ms) {
  const uint64_t clock = now_ms > 0 ? static_cast<uint64_t>(now_ms) : 0;
  if (last == UINT64_MAX) return last;  // beyond any clock; nothing rises further
  return std::max(clock, last + 1);
}

bool ReplayGuard::IsBehind(std::string_view channel, std::string_view login, uint64_t seq) const {
  return seq < Last(channel, login);
}

uint64_t ReplayGuard::Last(std::string_view channel, std::string_view login) const {
  auto found = last_.find(Key(channel, login));
  return found == last_.end() ? 0 : found->second;
}

void ReplayGuard::Record(std::string_view channel, std::string_view login, uint64_t seq) {
  auto [at, added] = last_.try_emplace(Key(channel, login), seq);
  if (!added && at->second >= seq) return;
  at->second = seq;
  changes_++;
}

std::vector<ReplayGuard::Mark> ReplayGuard::Marks() const {
  std::vector<Mark> marks;
  marks.reserve(last_.size());
  for (const auto& [key, seq] : last_) marks.push_back({key.first, key.second, seq});
  return marks;
}
