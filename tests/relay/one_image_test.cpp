// What the relay lets into its hub's set: one whole image that the slaves read as one.
#include <gtest/gtest.h>

#include <string>

#include "master_image.h"
#include "one_image.h"

namespace {

std::string MasterImageText(int orders) {
  MasterImage image;
  image.Set("room1", "4711");
  for (int i = 0; i < orders; i++) {
    OrderFields order;
    order.num1 = 100 + i;
    order.lots = 0.1;
    order.symbol = "EURUSD";
    order.price6 = 1.2345;
    order.comment = "copied";
    image.Append(i % 2, 5, 2, order);
  }
  return image.Text();
}

std::string WithByte(std::string text, size_t at, char byte) {
  text.insert(at, 1, byte);
  return text;
}

struct ImageCase {
  const char* name;
  std::string text;
  bool one_image;
};

void PrintTo(const ImageCase& c, std::ostream* os) { *os << c.name; }

class HubSideOneImage : public testing::TestWithParam<ImageCase> {};

TEST_P(HubSideOneImage, TellsOneWholeImageFromAnythingElse) {
  EXPECT_EQ(IsOneImage(GetParam().text), GetParam().one_image) << GetParam().text;
}

const std::string kImage = MasterImageText(3);
const std::string kMarketLine =
    "101\t2\t0\t0.10\tEURUSD\t1.23450\t1.20000\t1.30000\t0\t0.00000\t11\t12\tcopied";

INSTANTIATE_TEST_SUITE_P(Texts, HubSideOneImage, testing::Values(
    ImageCase{"a master's image", kImage, true},
    ImageCase{"an image without orders", MasterImageText(0), true},
    ImageCase{"written by hand", "<image>\n<login>1</login>\n<market>\n" + kMarketLine +
                                     "</market>\n</image>\n", true},
    ImageCase{"empty", "", false},
    ImageCase{"an empty body ends the slaves' list", "<image>\n</image>\n", false},
    ImageCase{"two images", kImage + kImage, false},
    ImageCase{"something after it", kImage + "x", false},
    ImageCase{"something before it", "x" + kImage, false},
    ImageCase{"the set's header before it", "<master_cnt>1</master_cnt>\n" + kImage, false},
    ImageCase{"no closing tag", kImage.substr(0, kImage.size() - 9), false},
    ImageCase{"no line feed after the closing tag", kImage.substr(0, kImage.size() - 1), false},
    ImageCase{"a NUL inside hides the rest", WithByte(kImage, 20, '\0'), false},
    ImageCase{"a line of 12 fields", "<image>\n<market>\n1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12"
                                     "</market>\n</image>\n", false},
    ImageCase{"a line of 14 fields", "<image>\n<market>\n" + kMarketLine + "\t14</market>\n"
                                     "</image>\n", false}));

}  // namespace
