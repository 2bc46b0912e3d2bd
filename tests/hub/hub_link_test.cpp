// The running Varnick.exe as the libraries see it: markers and their answers, images, the
// published checksum read from this process, and the image sets it hands out.
#include <windows.h>

#include <gtest/gtest.h>

#include "running_hub.h"
#include "test_terminal.h"
#include "window_value_win.h"

namespace {

std::string Header(int masters, int slaves) {
  return "<master_cnt>" + std::to_string(masters) + "</master_cnt>\n<slave_cnt>" +
         std::to_string(slaves) + "</slave_cnt>\n";
}

// One hub for the whole suite: starting Wine processes is slow. Each test uses windows of its
// own and leaves the registry as it found it.
class HubLink : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    channel_ = new std::string(UniqueChannel("link"));
    hub_ = new RunningHub(SettingsFor(*channel_).c_str());
    endpoint_ = hub_->WaitForEndpoint(*channel_);
  }
  static void TearDownTestSuite() {
    delete hub_;
    delete channel_;
  }
  void SetUp() override {
    ASSERT_NE(endpoint_, nullptr) << "the hub did not start";
    terminal_ = std::make_unique<TestTerminal>(endpoint_);
  }
  std::string ImageSet() {
    EXPECT_EQ(terminal_->RequestImageSet(), 0);
    return terminal_->LastImageSet();
  }

  static std::string* channel_;
  static RunningHub* hub_;
  static HWND endpoint_;
  std::unique_ptr<TestTerminal> terminal_;
};
std::string* HubLink::channel_;
RunningHub* HubLink::hub_;
HWND HubLink::endpoint_;

TEST_F(HubLink, MarkersAreAnsweredAndDetachRemoves) {
  TestTerminal& t = *terminal_;
  EXPECT_EQ(t.Send("M_MARKER", 101, 1), 0);
  EXPECT_EQ(t.Send("M_MARKER", 101, 2), 1);  // the window is taken by another instance
  EXPECT_EQ(t.Send("M_MARKER", 101, 1), 0);  // refresh
  EXPECT_EQ(t.Send("S_MARKER", 101, 1), 0);  // a slave beside a master with the same window
  EXPECT_EQ(t.Send("S_MARKER", 102, 1), 0);
  EXPECT_EQ(ImageSet(), Header(1, 2));

  EXPECT_EQ(t.Send("M_DEINIT", 101, 2), 0);  // wrong instance: nothing removed
  EXPECT_EQ(t.Send("S_DEINIT", 103, 1), 0);  // unknown window
  EXPECT_EQ(ImageSet(), Header(1, 2));
  EXPECT_EQ(t.Send("M_DEINIT", 101, 1), 0);
  EXPECT_EQ(t.Send("S_DEINIT", 101, 1), 0);
  EXPECT_EQ(t.Send("S_DEINIT", 102, 1), 0);
  EXPECT_EQ(ImageSet(), Header(0, 0));
}

TEST_F(HubLink, PublishedChecksumIsThatOfTheDeliveredSet) {
  TestTerminal& t = *terminal_;
  const std::string first = "<image>\nfirst</image>\n", second = "<image>\nsecond</image>\n";
  ASSERT_EQ(t.Send("M_MARKER", 201, 7), 0);
  ASSERT_EQ(t.Send("M_MARKER", 202, 7), 0);
  ASSERT_EQ(t.Send("S_MARKER", 203, 7), 0);
  EXPECT_EQ(t.SendImage(202, second), 1);
  EXPECT_EQ(t.SendImage(201, first), 1);

  const uint32_t published = t.PublishedChecksum();
  const std::string set = ImageSet();
  EXPECT_EQ(set, Header(2, 1) + first + second);  // order of first registration
  EXPECT_EQ(published, ChecksumOf(set));

  // Leaving terminals change the set but not the published checksum.
  t.Send("S_DEINIT", 203, 7);
  EXPECT_EQ(t.PublishedChecksum(), published);
  EXPECT_NE(ChecksumOf(ImageSet()), published);

  t.Send("M_DEINIT", 201, 7);
  t.Send("M_DEINIT", 202, 7);
  EXPECT_EQ(ImageSet(), Header(0, 0));
  EXPECT_EQ(t.PublishedChecksum(), published);
}

TEST_F(HubLink, ImagesBeforeTheMarkerOrForInstanceZeroAreDropped) {
  TestTerminal& t = *terminal_;
  const uint32_t published = t.PublishedChecksum();
  EXPECT_EQ(t.SendImage(301, "<image>\nearly</image>\n"), 1);
  ASSERT_EQ(t.Send("M_MARKER", 302, 0), 0);
  EXPECT_EQ(t.SendImage(302, "<image>\nzero</image>\n"), 1);
  EXPECT_EQ(t.SendImage(0, "<image>\nnone</image>\n"), 1);
  EXPECT_EQ(t.PublishedChecksum(), published);
  EXPECT_EQ(ImageSet(), Header(1, 0));  // counted, without an image
  t.Send("M_DEINIT", 302, 0);
}

TEST_F(HubLink, HostileInputIsSurvived) {
  TestTerminal& t = *terminal_;
  ASSERT_EQ(t.Send("M_MARKER", 501, 1), 0);
  const uint32_t published = t.PublishedChecksum();

  // A copy-data frame of another protocol gets the platform's default answer, 0.
  COPYDATASTRUCT foreign{5, 3, const_cast<char*>("abc")};
  DWORD_PTR answer = 7;
  ASSERT_TRUE(SendMessageTimeoutA(endpoint_, WM_COPYDATA, 501, reinterpret_cast<LPARAM>(&foreign),
                                  SMTO_NORMAL, 30000, &answer));
  EXPECT_EQ(answer, 0u);
  EXPECT_EQ(t.PublishedChecksum(), published);

  // Requests naming no window, a destroyed one, or the broadcast handle deliver nothing.
  HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
  DestroyWindow(gone);
  const int before = t.ImageSetsReceived();
  for (HWND nowhere : {HWND(0), gone, HWND_BROADCAST, WindowFromValue(0x7ABCDEF0)})
    EXPECT_EQ(t.RequestImageSetFor(nowhere), 0);
  EXPECT_EQ(t.ImageSetsReceived(), before);

  // Many terminals: each is registered and counted, and all leave again.
  for (uint32_t w = 10000; w < 11000; w++) ASSERT_EQ(t.Send("S_MARKER", w, 1), 0);
  EXPECT_EQ(ImageSet(), Header(1, 1000));
  for (uint32_t w = 10000; w < 11000; w++) ASSERT_EQ(t.Send("S_DEINIT", w, 1), 0);
  EXPECT_EQ(t.Send("M_DEINIT", 501, 1), 0);
  EXPECT_EQ(ImageSet(), Header(0, 0));
}

TEST_F(HubLink, SilentTerminalsAreDroppedByTheTimer) {
  TestTerminal& t = *terminal_;
  ASSERT_EQ(t.Send("M_MARKER", 701, 1), 0);
  ASSERT_EQ(t.Send("S_MARKER", 702, 1), 0);
  EXPECT_EQ(ImageSet(), Header(1, 1));
  // Gone between 30 and 35 s after the last marker; the poll allows for a slow machine.
  for (int i = 0; i < 120 && ImageSet() != Header(0, 0); i++) Sleep(1000);
  EXPECT_EQ(ImageSet(), Header(0, 0));
  EXPECT_EQ(t.Send("M_MARKER", 701, 2), 0);  // the window is free again
  t.Send("M_DEINIT", 701, 2);
}

// A slave window whose thread stops answering: the window of a UI thread that blocks.
struct HungWindow {
  HANDLE created = CreateEventA(NULL, TRUE, FALSE, NULL);
  HANDLE release = CreateEventA(NULL, TRUE, FALSE, NULL);
  HWND window = 0;
  HANDLE thread = 0;

  static DWORD WINAPI Run(void* param) {
    auto* self = static_cast<HungWindow*>(param);
    self->window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
    SetEvent(self->created);
    WaitForSingleObject(self->release, 120000);  // hangs: handles no messages meanwhile
    DestroyWindow(self->window);
    return 0;
  }
  HungWindow() {
    thread = CreateThread(NULL, 0, Run, this, 0, NULL);
    WaitForSingleObject(created, 30000);
  }
  ~HungWindow() {
    SetEvent(release);
    WaitForSingleObject(thread, 30000);
    CloseHandle(thread);
    CloseHandle(created);
    CloseHandle(release);
  }
};

TEST_F(HubLink, HungSlaveWindowDoesNotStallTheHub) {
  TestTerminal& t = *terminal_;
  HungWindow hung;
  ASSERT_NE(hung.window, nullptr);
  // Without a bound on its reply the hub would wait for the hung thread (two minutes) and
  // this request would fail at the terminal's 30 s limit.
  EXPECT_EQ(t.RequestImageSetFor(hung.window), 0);
  EXPECT_EQ(t.Send("S_MARKER", 601, 1), 0);
  EXPECT_EQ(t.Send("S_DEINIT", 601, 1), 0);
}

}  // namespace
