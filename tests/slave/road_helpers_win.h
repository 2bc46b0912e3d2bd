// Helpers of the end-to-end tests: the test process itself as a slave terminal whose expert
// calls qelv_r30uv.dll, and what it reads.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "expert_texts_win.h"
#include "master_scenario.h"
#include "slave_library_win.h"
#include "window_thread.h"
#include "window_value_win.h"

// What a slave expert reads through the query exports.
struct ImageRead {
  std::string channel_id, login;
  std::vector<OrderRead> market, history;
};
struct SetRead {
  int split = -1, masters = -1, slaves = -1;
  std::vector<ImageRead> images;
};

// The test process as a slave terminal: qelv_r30uv.dll loaded by name, a chart window owned by
// a thread that pumps messages, the expert's calls made from the test's thread, passing texts
// as `passing` says.
class InProcessSlave {
 public:
  explicit InProcessSlave(TextPassing passing = TextPassing::kStringElements);
  ~InProcessSlave();
  InProcessSlave(const InProcessSlave&) = delete;
  InProcessSlave& operator=(const InProcessSlave&) = delete;

  bool Ready() const { return ui_.Window() != NULL && loaded_; }
  int FindHub(const std::string& channel);
  int Marker(int instance);
  int PublishedChecksum();
  int HeldChecksum();
  // _qelv_images_get for the chart: the length of the set then held, or -1 without a hub.
  int Fetch();
  // Fetch, then _images_split and a walk over everything.
  SetRead FetchAndRead();

 private:
  int Chart() const { return WindowValue(ui_.Window()); }

  HMODULE dll_ = NULL;
  SlaveExports lib_{};
  bool loaded_ = false;
  TextPassing passing_;
  WindowThread ui_;  // outlives the library, which is freed first
};

// The simulated master's orders as a slave reads them back: market lines carry no close.
OrderRead ExpectedRead(const SimOrder& order, bool market);
// Where two reads differ, field by field; empty when they are equal.
std::string Differences(const OrderRead& expected, const OrderRead& actual);
// The order line of the simulator's slave dump for `order` (see slave_role.cpp).
std::string DumpLine(const char* pool, int index, const OrderRead& order);
// The final account of a scenario.
SimAccount PlayScenario(const std::string& text);
