// The hub's acceptance of an image that runs out of memory: whichever allocation fails, the
// failure is reported and the registry keeps the previous images, so that the set it hands out
// stays the one behind the published checksum. Its own program: it replaces operator new.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image_checksum.h"
#include "image_set.h"
#include "../support/allocation_failure.h"

namespace {

struct Acceptance {
  const char* name;
  uint32_t window;    // the master that sends
  std::string image;  // what it sends
};

void PrintTo(const Acceptance& a, std::ostream* os) { *os << a.name; }

class HubImageAcceptanceOutOfMemory : public testing::TestWithParam<Acceptance> {};

std::vector<std::string> Images(const TerminalRegistry& registry) {
  std::vector<std::string> images;
  for (const TTerminal& t : registry.Entries()) images.push_back(t.image);
  return images;
}

TEST_P(HubImageAcceptanceOutOfMemory, KeepsThePreviousImagesWhereverMemoryRunsOut) {
  const Acceptance& a = GetParam();
  for (long allowed = 0;; allowed++) {
    ASSERT_LT(allowed, 100);
    TerminalRegistry registry([] { return 0u; });
    registry.Marker(kMasterKind, 1, 1);
    registry.Marker(kSlaveKind, 2, 1);
    registry.Marker(kMasterKind, 3, 1);  // never sent an image
    const std::string first(40, 'a');
    ASSERT_TRUE(AcceptImage(registry, 1, first.data(), first.size()));
    const std::vector<std::string> images_before = Images(registry);
    const std::string set_before = BuildImageSet(registry);

    g_allocations_left = allowed;
    g_failed = false;
    bool thrown = false;
    std::optional<uint32_t> checksum;
    try {
      checksum = AcceptImage(registry, a.window, a.image.data(), a.image.size());
    } catch (const std::bad_alloc&) {
      thrown = true;
    }
    const bool ran_out = g_failed;
    g_allocations_left = -1;

    if (!ran_out) {
      ASSERT_TRUE(checksum);
      const std::string set = BuildImageSet(registry);
      EXPECT_NE(set, set_before);
      EXPECT_EQ(*checksum, image_checksum(set.data(), static_cast<int32_t>(set.size())));
      break;
    }
    EXPECT_TRUE(thrown) << allowed;
    EXPECT_EQ(Images(registry), images_before) << allowed;
    EXPECT_EQ(BuildImageSet(registry), set_before) << allowed;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Images, HubImageAcceptanceOutOfMemory,
    testing::Values(Acceptance{"LargerImageOverAnImage", 1, std::string(100, 'b')},
                    Acceptance{"SmallerImageOverAnImage", 1, "<image>\nb</image>\n"},
                    Acceptance{"EmptyImageOverAnImage", 1, ""},
                    Acceptance{"FirstImageOfAMaster", 3, std::string(100, 'c')}),
    [](const testing::TestParamInfo<Acceptance>& info) { return std::string(info.param.name); });

}  // namespace
