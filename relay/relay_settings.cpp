#include "relay_settings.h"

#include <algorithm>

#include "ascii_case.h"
#include "certificate_pin.h"
#include "extract_tag_values.h"
#include "relay_envelope.h"
#include "white_space.h"

namespace {

constexpr size_t kMinSecretBytes = 16;
constexpr std::string_view kNameRule = "1 to 128 printable ASCII characters without space, /, + or #";

bool ParsePort(std::string_view text, uint16_t& port) {
  if (text.empty() || text.size() > 5) return false;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (value == 0 || value > 65535) return false;
  port = static_cast<uint16_t>(value);
  return true;
}

bool IsHostName(std::string_view host) {
  return !host.empty() && host.size() <= 253 && std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
  });
}

bool IsIpv6Text(std::string_view host) {
  return !host.empty() && host.size() <= 45 && std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || (c >= '0' && c <= '9') || c == ':' ||
           c == '.';
  });
}

bool IsPathText(std::string_view path) {
  return path.size() <= 1024 && std::all_of(path.begin(), path.end(), [](char c) {
    return c > ' ' && c < 0x7F;
  });
}

// The four numbers of a dotted IPv4 address, if `host` is one.
bool ParseIpv4(std::string_view host, std::array<int, 4>& parts) {
  size_t at = 0;
  for (size_t i = 0; i < 4; i++) {
    if (i > 0) {
      if (at >= host.size() || host[at] != '.') return false;
      at++;
    }
    size_t digits = 0;
    int value = 0;
    while (at < host.size() && host[at] >= '0' && host[at] <= '9' && digits < 3) {
      value = value * 10 + (host[at++] - '0');
      digits++;
    }
    if (digits == 0 || value > 255) return false;
    parts[i] = value;
  }
  return at == host.size();
}

bool IsTopicPrefix(std::string_view prefix) {
  for (size_t at = 0;;) {
    const size_t slash = prefix.find('/', at);
    if (!IsEnvelopeName(prefix.substr(at, slash == std::string_view::npos ? slash : slash - at)))
      return false;
    if (slash == std::string_view::npos) return true;
    at = slash + 1;
  }
}

// Every occurrence of `secret` in `text` masked.
void Mask(std::string& text, const std::string& secret) {
  if (secret.empty()) return;
  for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3))
    text.replace(at, secret.size(), "***");
}

bool ReadFields(const std::string& text, RelaySettings& s, std::string& error) {
  std::string root, relay, value;
  if (!FirstTagValue(text, "root", root) || !FirstTagValue(root, "relay", relay)) {
    error = "qelv-relay.xml holds no <root><relay> element";
    return false;
  }
  auto read = [&](const char* name, std::string& field) { return FirstTagValue(relay, name, field); };

  // The secrets first, so that any refusal below can be masked.
  const bool has_user = read("user", s.user);
  const bool has_password = read("password", s.password);
  read("secret", s.secret);
  if (!read("broker_url", value)) {
    error = "broker_url is missing";
    return false;
  }
  if (!ParseBrokerUrl(value, s.broker, error)) return false;
  if (has_password && !has_user) {
    error = "a password needs a user";
    return false;
  }
  if (s.secret.size() < kMinSecretBytes) {
    error = "secret must hold at least " + std::to_string(kMinSecretBytes) + " characters";
    return false;
  }
  if (!read("channel_id", s.channel_id)) {
    error = "channel_id (the local hub's) is missing";
    return false;
  }
  if (!read("remote_channel", s.remote_channel) || !IsEnvelopeName(s.remote_channel)) {
    error = "remote_channel must be " + std::string(kNameRule);
    return false;
  }
  if (read("topic_prefix", value)) s.topic_prefix = value;
  if (!IsTopicPrefix(s.topic_prefix)) {
    error = "topic_prefix must be levels of " + std::string(kNameRule) + ", joined by /";
    return false;
  }

  value.clear();
  read("role", value);
  if (EqualsIgnoringCase(value, "publish")) s.role = RelayRole::kPublish;
  else if (EqualsIgnoringCase(value, "subscribe")) s.role = RelayRole::kSubscribe;
  else if (EqualsIgnoringCase(value, "both")) s.role = RelayRole::kBoth;
  else {
    error = "role must be publish, subscribe or both, not \"" + value + "\"";
    return false;
  }

  if (read("logins", value)) {
    for (size_t at = 0; at <= value.size();) {
      size_t comma = std::min(value.find(',', at), value.size());
      std::string_view login = TrimWhiteSpace(std::string_view(value).substr(at, comma - at));
      if (!login.empty()) {
        if (!IsEnvelopeName(login)) {
          error = "logins: \"" + std::string(login) + "\" is not " + std::string(kNameRule);
          return false;
        }
        s.logins.emplace_back(login);
      }
      at = comma + 1;
    }
  }

  if (read("cert_sha256", value)) {
    const std::optional<Sha256Digest> pin = ParseCertificatePin(value);
    if (!pin) {
      error = "cert_sha256 must be 64 hexadecimal digits (colons allowed)";
      return false;
    }
    if (s.broker.scheme != BrokerUrl::kWss) {
      error = "cert_sha256 pins a TLS certificate: it needs a wss:// broker_url";
      return false;
    }
    s.cert_sha256 = *pin;
  }

  if (read("insecure", value)) {
    if (value != "0" && value != "1") {
      error = "insecure must be 0 or 1";
      return false;
    }
    s.insecure = value == "1";
  }
  if (read("max_age_seconds", value)) {
    uint64_t seconds = 0;
    if (!ParseStrictDecimal(value, kMaxMaxAgeMs / 1000, seconds) ||
        static_cast<int64_t>(seconds) * 1000 < kMinMaxAgeMs) {
      error = "max_age_seconds must be a whole number from " + std::to_string(kMinMaxAgeMs / 1000) +
              " to " + std::to_string(kMaxMaxAgeMs / 1000);
      return false;
    }
    s.max_age_ms = static_cast<int64_t>(seconds) * 1000;
  }
  if (s.broker.scheme != BrokerUrl::kWss && !IsLoopbackHost(s.broker.host) && !s.insecure) {
    error = "broker_url: plain text to " + s.broker.host +
            " would carry the password and the images unencrypted; use wss:// or set "
            "<insecure>1</insecure>";
    return false;
  }
  return true;
}

}  // namespace

bool ReadRelaySettings(std::string_view file, RelaySettings& out, std::string& error) {
  // The tag search sees the file up to its first zero byte, as a C string.
  const std::string text(file.substr(0, file.find('\0')));
  RelaySettings s;
  if (!ReadFields(text, s, error)) {
    Mask(error, s.password);
    Mask(error, s.secret);
    return false;
  }
  out = std::move(s);
  return true;
}

bool ParseBrokerUrl(std::string_view url, BrokerUrl& out, std::string& error) {
  BrokerUrl b;
  const std::pair<std::string_view, BrokerUrl::Scheme> schemes[] = {
      {"mqtt://", BrokerUrl::kMqtt}, {"ws://", BrokerUrl::kWs}, {"wss://", BrokerUrl::kWss}};
  const auto scheme = std::find_if(std::begin(schemes), std::end(schemes),
                                   [&](const auto& s) { return StartsWithIgnoringCase(url, s.first); });
  if (scheme == std::end(schemes)) {
    error = "broker_url must begin with mqtt://, ws:// or wss://";
    return false;
  }
  b.scheme = scheme->second;
  url.remove_prefix(scheme->first.size());
  // The URL itself is never quoted: it might hold a password.
  if (url.find_first_of("@?#") != std::string_view::npos) {
    error = "broker_url must hold no user, password, query or fragment (use <user> and <password>)";
    return false;
  }
  const size_t slash = std::min(url.find('/'), url.size());
  std::string_view authority = url.substr(0, slash), path = url.substr(slash), port;
  if (!authority.empty() && authority[0] == '[') {
    const size_t close = authority.find(']');
    if (close == std::string_view::npos || !IsIpv6Text(authority.substr(1, close - 1))) {
      error = "broker_url: the IPv6 address in brackets is malformed";
      return false;
    }
    b.host = authority.substr(1, close - 1);
    std::string_view after = authority.substr(close + 1);
    if (!after.empty() && after[0] != ':') {
      error = "broker_url: only a port may follow the IPv6 address";
      return false;
    }
    if (!after.empty()) port = after.substr(1);
  } else {
    const size_t colon = authority.find(':');
    if (colon != std::string_view::npos && authority.find(':', colon + 1) != std::string_view::npos) {
      error = "broker_url: an IPv6 address needs brackets";
      return false;
    }
    b.host = authority.substr(0, colon);
    if (colon != std::string_view::npos) port = authority.substr(colon + 1);
    if (!IsHostName(b.host)) {
      error = "broker_url names no host, or a host with characters other than letters, digits, - and .";
      return false;
    }
  }
  const bool has_port = !port.empty() || authority.ends_with(':');
  b.port = b.scheme == BrokerUrl::kMqtt ? 1883 : b.scheme == BrokerUrl::kWs ? 80 : 443;
  if (has_port && !ParsePort(port, b.port)) {
    error = "broker_url: the port must be a number from 1 to 65535";
    return false;
  }
  if (b.scheme == BrokerUrl::kMqtt) {
    if (!path.empty() && path != "/") {
      error = "broker_url: mqtt:// takes no path";
      return false;
    }
  } else {
    if (!IsPathText(path)) {
      error = "broker_url: the path holds spaces or characters outside printable ASCII";
      return false;
    }
    b.path = path.empty() || path == "/" ? "/mqtt" : std::string(path);
  }
  out = std::move(b);
  return true;
}

bool IsLoopbackHost(std::string_view host) {
  std::array<int, 4> parts;
  return EqualsIgnoringCase(host, "localhost") || host == "::1" ||
         (ParseIpv4(host, parts) && parts[0] == 127);
}

std::string MasterTopic(std::string_view prefix, std::string_view channel, std::string_view login) {
  return std::string(prefix) + "/" + std::string(channel) + "/" + std::string(login);
}

std::string ChannelFilter(std::string_view prefix, std::string_view channel) {
  return MasterTopic(prefix, channel, "+");
}

bool SplitMasterTopic(std::string_view topic, std::string_view prefix, std::string& channel,
                      std::string& login) {
  if (topic.size() <= prefix.size() || !topic.starts_with(prefix) || topic[prefix.size()] != '/')
    return false;
  topic.remove_prefix(prefix.size() + 1);
  const size_t slash = topic.find('/');
  if (slash == std::string_view::npos) return false;
  const std::string_view channel_part = topic.substr(0, slash), login_part = topic.substr(slash + 1);
  if (!IsEnvelopeName(channel_part) || !IsEnvelopeName(login_part)) return false;
  channel = channel_part;
  login = login_part;
  return true;
}
