// The masters and slaves attached to the hub, in the order they first registered.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

inline constexpr char kMasterKind = 'm';
inline constexpr char kSlaveKind = 's';

struct TTerminal {
  char kind;           // kMasterKind or kSlaveKind
  uint32_t window;     // wParam of the terminal's markers
  int32_t instance;    // lParam of the terminal's markers
  std::string image;   // a master's latest image exactly as received
  uint32_t last_seen;  // tick count of the creation or of the last refreshing marker
};

struct TerminalCounts {
  int masters = 0;
  int slaves = 0;
};

enum class MarkerOutcome { kRefused, kRefreshed, kAdded };

// The message's answer to a marker: 1 when refused, 0 otherwise.
int MarkerAnswer(MarkerOutcome outcome);

class TerminalRegistry {
 public:
  // The platform's millisecond tick count, which wraps after 2^32 ms.
  using Clock = std::function<uint32_t()>;
  explicit TerminalRegistry(Clock clock) : clock_(std::move(clock)) {}

  // Refuses a window that an entry of the same kind holds with another instance; otherwise
  // refreshes the matching entry or appends a new one at the tail.
  MarkerOutcome Marker(char kind, uint32_t window, int32_t instance);
  // Removes the entry of that kind, window and instance; false when there is none.
  bool Detach(char kind, uint32_t window, int32_t instance);
  // Removes every entry whose last marker is kExpiryMs old or older; answers how many.
  int Expire();

  // The master that owns images sent with `window`: its instance is not 0.
  TTerminal* ImageOwner(uint32_t window);
  TerminalCounts Counts() const;
  const std::vector<TTerminal>& Entries() const { return entries_; }

 private:
  Clock clock_;
  std::vector<TTerminal> entries_;  // registration order; nothing reorders it
};
