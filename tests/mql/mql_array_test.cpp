// Arrays as translated experts use them: an index outside one is the terminal's critical error,
// never a read or write beside it; sizes and sorting answer as the reference says.
#include <gtest/gtest.h>

#include "mql_builtins.h"

namespace {

using namespace mql::builtin;
using mql::Array;
using mql::Row;

TEST(MqlArray, AnIndexOutsideTheArrayIsACriticalError) {
  Array<int> dynamic;
  EXPECT_THROW(dynamic[0], mql::CriticalError);
  ArrayResize(dynamic, 2);
  dynamic[1] = 7;
  EXPECT_THROW(dynamic[2], mql::CriticalError);
  EXPECT_THROW(dynamic[-1], mql::CriticalError);

  Array<Row<mql::mlong, 2>> rows;
  ArrayResize(rows, 1);
  rows[0][1] = 5;
  EXPECT_THROW(rows[0][2], mql::CriticalError);
  EXPECT_THROW(rows[1][0], mql::CriticalError);
}

TEST(MqlArray, ResizeAnswersEveryElementAndRefusesAStaticArray) {
  Array<Row<mql::mlong, 2>> rows;
  EXPECT_EQ(ArrayResize(rows, 5, 64), 10);
  EXPECT_EQ(ArraySize(rows), 10);
  Array<int> fixed(mql::FixedSize{3});
  EXPECT_EQ(ArrayResize(fixed, 5), -1);
  EXPECT_EQ(ArraySize(fixed), 3);
  Array<int> dynamic;
  EXPECT_EQ(ArrayResize(dynamic, -1), -1);
  EXPECT_EQ(ArrayResize(dynamic, 0), 0);
}

TEST(MqlArray, ResizedElementsStartAtZero) {
  Array<double> values;
  ArrayResize(values, 3);
  EXPECT_EQ(values[2], 0);
  Array<mql::string> texts;
  ArrayResize(texts, 1);
  EXPECT_EQ(texts[0].Length(), 0);
}

TEST(MqlArray, SortOrdersRowsByTheirFirstCellAndKeepsThemWhole) {
  Array<Row<mql::mlong, 2>> rows;
  ArrayResize(rows, 5);
  const mql::mlong cells[5][2] = {{7, 3}, {3, 1}, {57, 14}, {12, 4}, {11, 1}};
  for (int i = 0; i < 5; i++) rows[i][0] = cells[i][0], rows[i][1] = cells[i][1];
  ASSERT_TRUE(ArraySort(rows));
  const mql::mlong sorted[5][2] = {{3, 1}, {7, 3}, {11, 1}, {12, 4}, {57, 14}};
  for (int i = 0; i < 5; i++) EXPECT_EQ(rows[i][1], sorted[i][1]) << "row " << i;
  ASSERT_TRUE(ArraySort(rows, WHOLE_ARRAY, 0, MODE_DESCEND));
  EXPECT_EQ(rows[0][0], 57);
  EXPECT_EQ(rows[4][0], 3);
}

TEST(MqlArray, SortTakesAPartAndRefusesAnUnknownDirection) {
  Array<int> values;
  ArrayResize(values, 4);
  for (int i = 0; i < 4; i++) values[i] = 4 - i;  // 4 3 2 1
  ASSERT_TRUE(ArraySort(values, 2, 1));          // 3 2 sorted: 4 2 3 1
  EXPECT_EQ(values[0], 4);
  EXPECT_EQ(values[1], 2);
  EXPECT_EQ(values[2], 3);
  EXPECT_EQ(values[3], 1);
  EXPECT_FALSE(ArraySort(values, WHOLE_ARRAY, 0, 7));
  EXPECT_FALSE(ArraySort(values, WHOLE_ARRAY, 5));
}

TEST(MqlArray, ALibraryGetsTheFirstElementOrNothingForAnEmptyArray) {
  Array<mql::uchar> bytes;
  EXPECT_EQ(bytes.Data(), nullptr);
  ArrayResize(bytes, 2);
  EXPECT_EQ(bytes.Data(), &bytes[0]);
}

}  // namespace
