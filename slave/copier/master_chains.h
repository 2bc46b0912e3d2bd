// A master's orders gathered into partial-close chains (see copy_link.h): each chain is what one
// copy follows.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "image_set_model.h"

struct MasterChain {
  std::string_view login;
  int32_t root_ticket = 0;
  int32_t magic = 0;
  // The open (or pending) order of the chain, or when the whole chain is closed its last
  // closed order.
  const TOrder* order = nullptr;
  bool open = false;
  // Every ancestor of `order` is in the history. Otherwise `root_ticket` is the oldest ancestor
  // the links name, which is the root unless older ones are missing too.
  bool resolved = false;
  // When resolved: the lots the chain opened with, its closed parts and what is still open.
  double original_lots = 0;
  int32_t root_open_time = 0;
};

// Open chains first, in the order of the image's open orders, then closed chains. An order
// whose ticket was already seen, or a chain already met, adds nothing.
std::vector<MasterChain> GatherChains(const TImage& image);
