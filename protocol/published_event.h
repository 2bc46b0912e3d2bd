// The hub's signal that it published a checksum: a named manual-reset event that the hub sets
// and resets at once after every publication, so that a library waiting for a new image set
// wakes then instead of polling the endpoint's user data. A hub without it (an older one) is
// still polled.
#pragma once
#include <algorithm>
#include <string>
#include <string_view>

namespace link {

// "Local\qelv.<channel id>.published", each '\' of the channel id turned into '_', as a '\'
// would name a namespace.
inline std::string PublishedEventName(std::string_view channel_id) {
  std::string id(channel_id);
  std::replace(id.begin(), id.end(), '\\', '_');
  return "Local\\qelv." + id + ".published";
}

}  // namespace link
