// The image set that the hub publishes and hands to slaves, and the acceptance of a master's
// image that rebuilds it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "terminal_registry.h"

// The count header and then every master's image in registration order; built afresh at
// every call, never cached.
std::string BuildImageSet(const TerminalRegistry& registry);

// Stores `size` bytes at `data` as the image of the master that owns `window` and answers the
// checksum of the rebuilt set. Without such a master, or when `data` is null but `size` is
// not 0, the image is dropped and nothing changes; running out of memory throws and changes
// nothing either.
std::optional<uint32_t> AcceptImage(TerminalRegistry& registry, uint32_t window,
                                    const void* data, size_t size);
