// The slave's end of the link to the hub: the chart window it subclasses to receive image sets,
// the hub endpoint, and the text last received. One link per process, as the terminal loads the
// library once; exports run on the expert's thread, the window procedure on the chart's thread.
#pragma once
#include <windows.h>

#include <string>

namespace slave_link {

// Registers the slave's messages; the first attach subclasses `chart`.
void Attach(HWND chart);
// Counts one attach off (never below zero); the last one gives the subclassed window its own
// procedure back. Then sends the detach message: the hub's answer, or -1 without a hub.
int Detach(HWND chart, int instance);
// Looks the hub of `channel_id` up and keeps it, and the channel id; 0 when there is none.
HWND FindHub(const char* channel_id);
// The hub's answer to a marker, or -1 without a hub.
int SendMarker(HWND chart, int instance);
// The checksum the hub publishes in its endpoint's user data; 0 without a hub.
int PublishedChecksum();
// The published checksum as soon as it differs from `held`, or when `timeout_ms` (0 to 1000)
// have passed; -1 without a hub that is alive. Waits on the hub's signal (published_event.h),
// or polls every millisecond for a hub without one.
int WaitForPublished(int held, int timeout_ms);
// Asks the hub to send its image set to `chart`, which stores it before this returns. The
// length of the text then held, or -1 without a hub.
int RequestImageSet(HWND chart);
// The image set exactly as last received, NUL bytes included. Read under LibraryLock().
const std::string& ReceivedText();
// At unload: a chart window that still runs our procedure gets its own back, or its next
// message would call into unmapped code.
void ReleaseOnUnload();

}  // namespace slave_link
