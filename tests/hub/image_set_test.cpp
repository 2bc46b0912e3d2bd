#include "image_set.h"

#include <gtest/gtest.h>

#include "image_checksum.h"

namespace {

std::string Header(int masters, int slaves) {
  return "<master_cnt>" + std::to_string(masters) + "</master_cnt>\n<slave_cnt>" +
         std::to_string(slaves) + "</slave_cnt>\n";
}

uint32_t Checksum(const std::string& text) {
  return image_checksum(text.data(), static_cast<int32_t>(text.size()));
}

class ImageSet : public testing::Test {
 protected:
  std::optional<uint32_t> Send(uint32_t window, const std::string& image) {
    return AcceptImage(registry_, window, image.data(), image.size());
  }
  TerminalRegistry registry_{[] { return 0u; }};
};

TEST_F(ImageSet, EmptyRegistryGivesTheHeaderAlone) {
  EXPECT_EQ(BuildImageSet(registry_), Header(0, 0));
}

TEST_F(ImageSet, ImagesFollowTheOrderOfFirstRegistration) {
  registry_.Marker('m', 20, 1);
  registry_.Marker('s', 30, 1);
  registry_.Marker('m', 10, 1);
  registry_.Marker('m', 40, 1);  // registered, never sends an image
  ASSERT_TRUE(Send(10, "B"));
  ASSERT_TRUE(Send(20, "A"));
  ASSERT_TRUE(Send(20, "A2"));  // re-sending does not move master 20
  registry_.Marker('m', 20, 1);
  EXPECT_EQ(BuildImageSet(registry_), Header(3, 1) + "A2B");
}

TEST_F(ImageSet, AcceptedImageAnswersTheChecksumOfTheRebuiltSet) {
  registry_.Marker('m', 1, 1);
  const std::string image = "<image>\n...</image>\n";
  std::optional<uint32_t> checksum = Send(1, image);
  ASSERT_TRUE(checksum);
  EXPECT_EQ(*checksum, Checksum(Header(1, 0) + image));
  EXPECT_EQ(Send(1, image), checksum);  // the same image republishes the same checksum
}

TEST_F(ImageSet, EmptyFrameEmptiesTheImageAndTheMasterStillCounts) {
  registry_.Marker('m', 1, 1);
  Send(1, "old");
  std::optional<uint32_t> checksum = AcceptImage(registry_, 1, nullptr, 0);
  ASSERT_TRUE(checksum);
  EXPECT_EQ(*checksum, Checksum(Header(1, 0)));
  EXPECT_EQ(BuildImageSet(registry_), Header(1, 0));
}

TEST_F(ImageSet, ImagesWithoutOwnerAreDroppedWithoutEffect) {
  registry_.Marker('m', 1, 1);
  Send(1, "kept");
  registry_.Marker('m', 2, 0);
  registry_.Marker('s', 3, 1);
  const std::string before = BuildImageSet(registry_);
  EXPECT_FALSE(Send(9, "unknown window"));
  EXPECT_FALSE(Send(2, "instance 0"));
  EXPECT_FALSE(Send(3, "slave window"));
  EXPECT_FALSE(AcceptImage(registry_, 1, nullptr, 5));  // a frame that points at nothing
  EXPECT_EQ(BuildImageSet(registry_), before);
}

TEST_F(ImageSet, DetachedMasterLeavesLaterSets) {
  registry_.Marker('m', 1, 1);
  registry_.Marker('m', 2, 1);
  Send(1, "one");
  Send(2, "two");
  registry_.Detach('m', 1, 1);
  EXPECT_EQ(BuildImageSet(registry_), Header(1, 0) + "two");
}

TEST_F(ImageSet, LargeImageIsKeptWhole) {
  registry_.Marker('m', 1, 1);
  std::string image(5 << 20, 'x');
  image[12345] = '\0';  // a zero byte is ordinary data
  std::optional<uint32_t> checksum = Send(1, image);
  ASSERT_TRUE(checksum);
  const std::string set = BuildImageSet(registry_);
  EXPECT_EQ(set, Header(1, 0) + image);
  EXPECT_EQ(*checksum, Checksum(set));
}

}  // namespace
