#include "image_set.h"

#include "image_checksum.h"
#include "image_text.h"

std::string BuildImageSet(const TerminalRegistry& registry) {
  const TerminalCounts counts = registry.Counts();
  size_t length = 64;
  for (const TTerminal& t : registry.Entries()) length += t.image.size();

  std::string set;
  set.reserve(length);
  AppendImageSetHeader(set, counts.masters, counts.slaves);
  for (const TTerminal& t : registry.Entries())
    if (t.kind == kMasterKind) set += t.image;
  return set;
}

std::optional<uint32_t> AcceptImage(TerminalRegistry& registry, uint32_t window,
                                    const void* data, size_t size) {
  if (!data && size != 0) return std::nullopt;
  TTerminal* owner = registry.ImageOwner(window);
  if (!owner) return std::nullopt;
  // Whatever runs out of memory, the previous image stays: the set handed to slaves must remain
  // the one behind the published checksum.
  std::string image = size ? std::string(static_cast<const char*>(data), size) : std::string();
  owner->image.swap(image);
  try {
    const std::string set = BuildImageSet(registry);
    return image_checksum(set.data(), static_cast<int32_t>(set.size()));
  } catch (...) {
    owner->image.swap(image);
    throw;
  }
}
