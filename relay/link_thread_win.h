// A thread of its own for one side of the relay's link to the local hub. It owns hidden windows
// and handles the messages sent to them while it waits, as the hub's replies arrive as sent
// messages, and it wakes on a handle of the caller's choice or after a time.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>

class LinkThread {
 public:
  // What the thread does; every call runs on the thread.
  class Loop {
   public:
    virtual ~Loop() = default;
    // Once the thread's window exists.
    virtual void Begin(HWND window) = 0;
    // After every wake: does the work due and answers how long to wait at most; `signal` may be
    // set to one more handle whose signal ends the wait.
    virtual DWORD Turn(HANDLE& signal) = 0;
    // Before the thread ends.
    virtual void End() = 0;
    // A WM_COPYDATA sent to the thread's window: its answer (none is expected by default).
    virtual LRESULT CopyData(WPARAM /*sender*/, const COPYDATASTRUCT& /*frame*/) { return 0; }
  };

  // Starts the thread and returns once its window exists (or could not be made).
  explicit LinkThread(Loop& loop);
  // Ends the loop, then the thread.
  ~LinkThread();
  LinkThread(const LinkThread&) = delete;
  LinkThread& operator=(const LinkThread&) = delete;

  bool Running() const { return window_.load() != NULL; }
  // Runs `call` on the thread and returns after it; false when it did not run (no thread).
  bool Run(const std::function<void()>& call);
  // A further hidden window, for a value the hub keys a terminal by; only on the thread. NULL
  // when none could be made.
  static HWND NewWindow();

 private:
  static DWORD WINAPI Main(void* self);
  static void RunLoop(LinkThread& self, HWND window);
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
  void Pump();

  Loop& loop_;
  HANDLE stop_;
  HANDLE ready_;
  HANDLE thread_ = NULL;
  std::atomic<HWND> window_{NULL};  // NULL once the thread ends
  // Only the call that Run is waiting for is run: another process may send our message number.
  std::recursive_mutex run_lock_;
  std::atomic<const std::function<void()>*> pending_{nullptr};
};
