// What the relay's status window shows, as rows of a label and its value.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "relay_settings.h"

struct RelayStatus {
  std::string problem;  // why the relay does nothing (its settings), empty while it works
  bool connected = false;
  std::string broker;          // BrokerUrlText
  size_t masters_out = 0;      // the local hub's masters on the broker now
  size_t masters_in = 0;       // remote masters registered with the local hub now
  std::string last_image;      // when an image last went out or came in
  std::string last_rejected;   // the last message refused, and why
  bool operator==(const RelayStatus&) const = default;
};

// The broker's address as the settings give it; it never holds credentials.
std::string BrokerUrlText(const BrokerUrl& url);

struct StatusRow {
  std::string label;
  std::string value;
  bool operator==(const StatusRow&) const = default;
};
std::vector<StatusRow> StatusRows(const RelayStatus& status);
