// A split that runs out of memory: whichever allocation fails, the result is 0 and the model
// holds only whole images and orders, so that a walk over it stays inside it. Its own program:
// it replaces the global operator new.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "image_cursor.h"
#include "image_set_split.h"
#include "image_text.h"
#include "../support/allocation_failure.h"

namespace {

std::string Line(int num1) {
  return std::to_string(num1) + "\t2\t0\t0.10\tEURUSD\t1.2\t1.2\t1.3\t0\t0\t11\t12\tc";
}

std::string LargeSet() {
  std::string text;
  AppendImageSetHeader(text, 3, 0);
  for (int image = 0; image < 3; image++) {
    std::string market, history;
    for (int i = 0; i < 20; i++) market += (i ? "\n" : "") + Line(i);
    for (int i = 0; i < 5; i++) history += (i ? "\n" : "") + Line(100 + i);
    text += BuildImageText(std::string(40, 'c'), std::string(40, 'l'), market, history);
  }
  return text;
}

// Reads every field of every order through the cursor; the sanitizers watch the reads.
int WalkAll(const ImageSet& set) {
  ImageCursor cursor(set);
  char id[kChannelIdCapacity], login[kLoginCapacity], symbol[kSymbolCapacity], comment[kCommentCapacity];
  TextSlot id_slot{0, id}, login_slot{0, login}, symbol_slot{0, symbol}, comment_slot{0, comment};
  int32_t n[6];
  double d[5];
  OrderOut out{&n[0], &n[1], &n[2], &d[0], &symbol_slot, &d[1], &d[2], &d[3],
               &n[3], &d[4], &n[4], &n[5], &comment_slot};
  int read = 0;
  for (int32_t i = 0; cursor.SelectImage(i); i++) {
    read += cursor.GetImageInfo(&id_slot, &login_slot);
    for (int32_t pool = 0; pool < 2; pool++)
      for (int32_t k = 0; cursor.SelectOrder(k, pool); k++) read += cursor.GetOrder(out);
  }
  return read;
}

TEST(ImageSetSplitOutOfMemory, LeavesAModelOfWholeEntriesWhereverMemoryRunsOut) {
  const std::string text = LargeSet();
  // Into an empty model, and over a model of the same size whose memory is reused.
  for (bool over_same : {false, true}) {
    for (long allowed = 0;; allowed++) {
      ASSERT_LT(allowed, 1000);
      ImageSet set;
      if (over_same) {
        ASSERT_EQ(SplitImageSet(text, set), 1);
      }
      g_allocations_left = allowed;
      g_failed = false;
      const int result = SplitImageSet(text, set);
      const bool ran_out = g_failed;
      g_allocations_left = -1;
      size_t orders = 0;
      for (const TImage& image : set.images) orders += image.market.size() + image.history.size();
      EXPECT_EQ(WalkAll(set), static_cast<int>(set.images.size() + orders));
      if (!ran_out) {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(set.images.size(), 3u);
        EXPECT_EQ(orders, 75u);
        break;
      }
      EXPECT_EQ(result, 0) << allowed;
      EXPECT_STREQ(set.error, "[memory] not enough memory to split the image set");
    }
  }
}

}  // namespace
