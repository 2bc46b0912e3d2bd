// The relay delay benchmark's figures: one round per change of the master's image, timed from
// the master's send on hub A until hub B published a new checksum, and with --trace cut at the
// moment a watcher on the broker received the relayed message.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One change, in performance-counter milliseconds; 0 where a time was not taken.
struct RelayRound {
  double send_began = 0;  // the master's _image_send on hub A
  double sent = 0;        // its return: hub A has published by then
  double at_broker = 0;   // the watcher's receipt of the publishing relay's message (--trace)
  double published = 0;   // hub B's new checksum
};

// The port of listener `name` in the broker's "name port" lines; none when absent or not a port.
std::optional<uint16_t> ListenerPort(std::string_view ports_text, std::string_view name);

// Gives each round the first arrival at or after its send began and before the next round's
// send began; rounds without one keep 0. `arrivals` are in the order they were received.
void AssignBrokerTimes(std::vector<RelayRound>& rounds, const std::vector<double>& arrivals);

// One row: the road's name, the rounds, and p50, p95, p99 and max of the whole delay in ms.
std::string DelayRow(std::string_view road, const std::vector<RelayRound>& rounds);

// Where the delay went, over the rounds with a broker time (the others are counted): the send
// on hub A, the publishing relay and the broker, the subscribing relay and hub B; mean, p50,
// p95, p99 and max of each in ms.
std::string StageTable(const std::vector<RelayRound>& rounds);
