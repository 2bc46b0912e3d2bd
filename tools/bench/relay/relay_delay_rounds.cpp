#include "relay_delay_rounds.h"

#include <cstdio>
#include <sstream>

#include "delay_breakdown.h"

std::optional<uint16_t> ListenerPort(std::string_view ports_text, std::string_view name) {
  std::istringstream lines{std::string(ports_text)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string listener, rest;
    long port = 0;
    if (!(fields >> listener >> port) || listener != name) continue;
    if (fields >> rest || port < 1 || port > 65535) return std::nullopt;
    return static_cast<uint16_t>(port);
  }
  return std::nullopt;
}

void AssignBrokerTimes(std::vector<RelayRound>& rounds, const std::vector<double>& arrivals) {
  size_t next = 0;
  for (size_t r = 0; r < rounds.size(); r++) {
    const double from = rounds[r].send_began;
    const double until = r + 1 < rounds.size() ? rounds[r + 1].send_began : 0;
    while (next < arrivals.size() && arrivals[next] < from) next++;
    if (next < arrivals.size() && (until == 0 || arrivals[next] < until)) rounds[r].at_broker = arrivals[next++];
  }
}

namespace {

std::string Figures(const std::vector<double>& ms) {
  char text[96];
  std::snprintf(text, sizeof text, "%9.2f %9.2f %9.2f %9.2f", Percentile(ms, 0.5), Percentile(ms, 0.95),
                Percentile(ms, 0.99), Percentile(ms, 1.0));
  return text;
}

}  // namespace

std::string DelayRow(std::string_view road, const std::vector<RelayRound>& rounds) {
  std::vector<double> ms;
  for (const RelayRound& r : rounds)
    if (r.published > 0) ms.push_back(r.published - r.send_began);
  char head[48];
  std::snprintf(head, sizeof head, "%-6.*s %7zu ", static_cast<int>(road.size()), road.data(), ms.size());
  return head + Figures(ms) + "\n";
}

std::string StageTable(const std::vector<RelayRound>& rounds) {
  std::vector<double> send, publisher, subscriber, whole;
  size_t untimed = 0;
  for (const RelayRound& r : rounds) {
    if (r.at_broker == 0 || r.published == 0) {
      untimed++;
      continue;
    }
    send.push_back(r.sent - r.send_began);
    publisher.push_back(r.at_broker - r.sent);
    subscriber.push_back(r.published - r.at_broker);
    whole.push_back(r.published - r.send_began);
  }
  std::string table = "stage                               mean ms    p50 ms    p95 ms    p99 ms    max ms\n";
  auto line = [&](const char* name, const std::vector<double>& ms) {
    double sum = 0;
    for (double v : ms) sum += v;
    char text[80];
    std::snprintf(text, sizeof text, "%-34s %9.2f ", name, ms.empty() ? 0.0 : sum / static_cast<double>(ms.size()));
    table += text + Figures(ms) + "\n";
  };
  line("send: hub A takes it, publishes", send);
  line("publishing relay, to the broker", publisher);
  line("subscribing relay, hub B publishes", subscriber);
  line("whole delay", whole);
  if (untimed > 0) table += std::to_string(untimed) + " round(s) without a broker time left out\n";
  return table;
}
