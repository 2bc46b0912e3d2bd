#include "hub_side_fixture_win.h"

#include "master_image.h"
#include "poll_until.h"
#include "test_terminal.h"

void SetLog::Add(const std::string& set) {
  std::lock_guard<std::mutex> lock(lock_);
  sets_.push_back(set);
  last_arrival_ = GetTickCount();
}

bool SetLog::WaitForLast(DWORD limit_ms, const std::string& expected, size_t after) {
  return PollUntil(limit_ms, [&] {
    std::lock_guard<std::mutex> lock(lock_);
    return sets_.size() > after && sets_.back() == expected;
  });
}

std::string SetLog::Last() {
  std::lock_guard<std::mutex> lock(lock_);
  return sets_.empty() ? std::string() : sets_.back();
}

DWORD SetLog::LastArrival() {
  std::lock_guard<std::mutex> lock(lock_);
  return last_arrival_;
}

size_t SetLog::Count() {
  std::lock_guard<std::mutex> lock(lock_);
  return sets_.size();
}

void HubSide::SetUp() {
  channel_ = UniqueChannel(testing::UnitTest::GetInstance()->current_test_info()->name());
  StartHub();
}

void HubSide::StartHub() {
  hub_ = std::make_unique<RunningHub>(SettingsFor(channel_).c_str());
  endpoint_ = hub_->WaitForEndpoint(channel_);
  ASSERT_NE(endpoint_, nullptr) << "the hub did not start";
}

void HubSide::RestartHub() {
  StopHub();
  StartHub();
}

std::string HubSide::FetchSet() {
  TestTerminal terminal(endpoint_);
  EXPECT_EQ(terminal.RequestImageSet(), 0);
  return terminal.LastImageSet();
}

uint32_t HubSide::Published() { return TestTerminal(endpoint_).PublishedChecksum(); }

std::string Header(int masters, int slaves) {
  return "<master_cnt>" + std::to_string(masters) + "</master_cnt>\n<slave_cnt>" +
         std::to_string(slaves) + "</slave_cnt>\n";
}

std::string ImageOf(const std::string& login, int orders) {
  MasterImage image;
  image.Set("remote", login);
  for (int i = 0; i < orders; i++) {
    OrderFields order;
    order.num1 = 1000 + i;
    order.lots = 0.25;
    order.symbol = "GBPUSD";
    order.price6 = 1.3;
    image.Append(0, 5, 2, order);
  }
  return image.Text();
}
