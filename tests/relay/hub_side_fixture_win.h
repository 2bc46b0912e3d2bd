// A real hub of a channel of the test's own, started again on demand, and what the tests of the
// relay's hub side read from it.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "running_hub.h"

// The image sets a subscription handed over, from its thread.
class SetLog {
 public:
  void Add(const std::string& set);
  // Polls until more than `after` sets were handed over, the last one being `expected`; false
  // after `limit_ms`.
  bool WaitForLast(DWORD limit_ms, const std::string& expected, size_t after = 0);
  std::string Last();
  size_t Count();
  // The tick count when the last set was handed over.
  DWORD LastArrival();

 private:
  std::mutex lock_;
  std::vector<std::string> sets_;
  DWORD last_arrival_ = 0;
};

class HubSide : public testing::Test {
 protected:
  void SetUp() override;
  // Ends the hub as a crash would, and starts another of the same channel.
  void RestartHub();
  void StopHub() { hub_.reset(); }
  void StartHub();
  // The set the hub hands a slave now, and the checksum it publishes.
  std::string FetchSet();
  uint32_t Published();

  std::string channel_;
  std::unique_ptr<RunningHub> hub_;
  HWND endpoint_ = NULL;
};

std::string Header(int masters, int slaves);
// A master's image as the master library writes it, with `orders` market orders.
std::string ImageOf(const std::string& login, int orders);

const DWORD kArrivalLimitMs = 30000;  // generous: a busy machine under Wine, never a timing claim
