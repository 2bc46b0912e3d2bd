// The test process as a terminal talking to a hub endpoint through the link's messages.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// The test as a terminal: sends the link's messages to a hub endpoint with a generous time
// limit (a hung hub fails the test instead of hanging it) and receives image sets in a window
// of its own.
class TestTerminal {
 public:
  explicit TestTerminal(HWND hub);
  ~TestTerminal();

  // The hub's answer, or -2 when the message could not be delivered in time.
  LRESULT Send(const char* message, uint32_t window, int32_t instance);
  LRESULT SendImage(uint32_t window, const std::string& image);
  // Sends "S_GET_IMAGE" naming this terminal's window, or `receiver`.
  LRESULT RequestImageSet() { return RequestImageSetFor(window_); }
  LRESULT RequestImageSetFor(HWND receiver);
  // The text of the last image set that reached this terminal's window.
  const std::string& LastImageSet() const;
  int ImageSetsReceived() const;
  uint32_t PublishedChecksum() const;
  // Requests a set and answers the count of slaves in it; -1 when none came.
  int SlaveCount();
  HWND Window() const { return window_; }

 private:
  HWND hub_;
  HWND window_;
};

uint32_t ChecksumOf(const std::string& text);
