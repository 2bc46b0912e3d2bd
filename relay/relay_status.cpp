#include "relay_status.h"

std::string BrokerUrlText(const BrokerUrl& url) {
  static const char* const kSchemes[] = {"mqtt", "ws", "wss"};
  const bool ipv6 = url.host.find(':') != std::string::npos;
  std::string text = std::string(kSchemes[url.scheme]) + "://" + (ipv6 ? "[" : "") + url.host +
                     (ipv6 ? "]" : "") + ":" + std::to_string(url.port);
  if (url.scheme != BrokerUrl::kMqtt) text += url.path;
  return text;
}

std::vector<StatusRow> StatusRows(const RelayStatus& status) {
  if (!status.problem.empty()) return {{"Stopped", status.problem}};
  return {
      {"Broker", status.broker},
      {"Connection", status.connected ? "connected" : "not connected"},
      {"Masters out", std::to_string(status.masters_out)},
      {"Masters in", std::to_string(status.masters_in)},
      {"Last image", status.last_image.empty() ? "none yet" : status.last_image},
      {"Last rejected", status.last_rejected.empty() ? "none" : status.last_rejected},
  };
}
