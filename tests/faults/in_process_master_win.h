// The test process as a master terminal: qelv_d30or.dll loaded by name and its exports called
// as the master's expert calls them.
#pragma once
#include <windows.h>

#include <string>

#include "master_library_win.h"

class InProcessMaster {
 public:
  InProcessMaster(int window, int instance);
  ~InProcessMaster();
  InProcessMaster(const InProcessMaster&) = delete;
  InProcessMaster& operator=(const InProcessMaster&) = delete;

  bool Loaded() const { return loaded_; }
  int FindHub(const std::string& channel);
  int Marker();
  int Detach();
  // Builds an image of `orders` market orders that carry `round` in num12 and sends it;
  // answers the image's checksum as the library computes it.
  int Publish(const std::string& channel, int orders, int round);

 private:
  HMODULE dll_;
  MasterExports lib_{};
  bool loaded_;
  int window_, instance_;
};
