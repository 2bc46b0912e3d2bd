// The Windows side of the link that both bridge libraries share.
#pragma once
#include <windows.h>

#include <cstddef>

// Finds the hub of a channel: the owner of the top-level window of class `channel_id`.
// Returns 0 when there is no such window or it has no owner.
HWND FindHubEndpoint(const char* channel_id);

// Sends `size` bytes as a WM_COPYDATA frame tagged with the link's tag; returns the answer.
LRESULT SendCopyData(HWND to, WPARAM from, const void* data, size_t size);
