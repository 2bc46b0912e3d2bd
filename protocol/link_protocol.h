// The window-message contract between the hub and the two bridge libraries.
//
// Every exchange is a synchronous SendMessageA to the hub endpoint: the owner of the hub's
// hidden window, whose class name is the channel id. Markers and detach messages carry the
// terminal's `window` in wParam and its `instance` in lParam. Texts travel in WM_COPYDATA
// frames tagged kCopyDataTag, without a terminating NUL. The hub publishes the checksum of its
// image set in the endpoint's GWL_USERDATA.
#pragma once

namespace link {
inline constexpr char kMasterMarker[] = "M_MARKER";
inline constexpr char kMasterDetach[] = "M_DEINIT";
inline constexpr char kSlaveMarker[] = "S_MARKER";
inline constexpr char kSlaveDetach[] = "S_DEINIT";
inline constexpr char kSlaveGetImage[] = "S_GET_IMAGE";

inline constexpr unsigned long kCopyDataTag = 111;
// Sent by a second hub of the same channel to the running one: come to the front.
inline constexpr unsigned kHubActivate = 0x8000 + 20;  // WM_APP + 20

// Marker answers.
inline constexpr int kMarkerAccepted = 0;
inline constexpr int kMarkerRefused = 1;

// Terminals fall silent after this long without a marker; the hub checks at this period.
inline constexpr unsigned kExpiryMs = 30000;
inline constexpr unsigned kExpiryCheckMs = 5000;
}  // namespace link
