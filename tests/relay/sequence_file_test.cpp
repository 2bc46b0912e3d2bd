// The sequence file: the marks written and read back, a file missing, cut short or garbage read
// as no marks at all, and a save that replaces the file whole.
#include "sequence_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

ReplayGuard TwoMarks() {
  ReplayGuard guard;
  guard.Record("desk-a", "4711", 1765190400123);
  guard.Record("desk-a", "4712", UINT64_MAX);
  return guard;
}

const std::string kTwoMarks =
    "qelv-relay-sequences 1\ndesk-a 4711 1765190400123\ndesk-a 4712 18446744073709551615\nend 2\n";

TEST(SequenceFile, HoldsAMarkALineAndTheirCount) {
  EXPECT_EQ(SequenceFileText(TwoMarks()), kTwoMarks);
  EXPECT_EQ(SequenceFileText(ReplayGuard()), "qelv-relay-sequences 1\nend 0\n");
}

TEST(SequenceFile, ReadsBackWhatItWrote) {
  ReplayGuard read;
  ASSERT_TRUE(ReadSequenceText(kTwoMarks, read));
  EXPECT_EQ(read.Marks(), TwoMarks().Marks());
}

TEST(SequenceFile, CutShortAnywhereItGivesNoMarks) {
  for (size_t size = 0; size < kTwoMarks.size(); size++) {
    ReplayGuard read;
    EXPECT_FALSE(ReadSequenceText(kTwoMarks.substr(0, size), read)) << size << " bytes";
    EXPECT_TRUE(read.Marks().empty()) << size << " bytes";
  }
}

struct DamageCase {
  const char* what;
  std::string text;
};
void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.what; }

class DamagedSequenceFile : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedSequenceFile, GivesNoMarks) {
  ReplayGuard read;
  EXPECT_FALSE(ReadSequenceText(GetParam().text, read));
  EXPECT_TRUE(read.Marks().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedSequenceFile, testing::Values(
    DamageCase{"empty", ""},
    DamageCase{"garbage", "\x7f" "ELF\x01\x01\x01\0\0\0 binary bytes\n"},
    DamageCase{"another program's text", "<root><relay></relay></root>\n"},
    DamageCase{"another version", "qelv-relay-sequences 2\nend 0\n"},
    DamageCase{"a count that does not match", "qelv-relay-sequences 1\ndesk-a 4711 5\nend 2\n"},
    DamageCase{"bytes behind the end", kTwoMarks + "desk-a 4713 9\n"},
    DamageCase{"a line of two fields", "qelv-relay-sequences 1\ndesk-a 5\nend 1\n"},
    DamageCase{"a line of four fields", "qelv-relay-sequences 1\ndesk-a 4711 5 6\nend 1\n"},
    DamageCase{"a sequence beyond 64 bits", "qelv-relay-sequences 1\ndesk-a 4711 18446744073709551616\nend 1\n"},
    DamageCase{"a sequence with a sign", "qelv-relay-sequences 1\ndesk-a 4711 -5\nend 1\n"},
    DamageCase{"a login with a wildcard", "qelv-relay-sequences 1\ndesk-a # 5\nend 1\n"},
    DamageCase{"carriage returns", "qelv-relay-sequences 1\r\ndesk-a 4711 5\r\nend 1\r\n"},
    DamageCase{"a zero byte in a mark", std::string("qelv-relay-sequences 1\ndesk-a 47") + '\0' + "11 5\nend 1\n"}));

class SequenceFileOnDisk : public testing::Test {
 protected:
  void SetUp() override {
    path_ = testing::TempDir() + "sequence_file_test." +
            testing::UnitTest::GetInstance()->current_test_info()->name() + ".sequences";
    std::remove(path_.c_str());
  }
  void TearDown() override { std::remove(path_.c_str()); }
  std::string path_;
};

TEST_F(SequenceFileOnDisk, IsSavedWholeAndLoadedBack) {
  WriteText(path_, "an older, longer file that the save replaces whole, leaving nothing of it behind\n");
  ASSERT_TRUE(SaveSequenceFile(path_, TwoMarks()));
  EXPECT_EQ(FileText(path_), kTwoMarks);
  EXPECT_FALSE(std::ifstream(path_ + ".new").good());
  ReplayGuard loaded;
  EXPECT_EQ(LoadSequenceFile(path_, loaded), SequenceFileState::kRead);
  EXPECT_EQ(loaded.Marks(), TwoMarks().Marks());
}

TEST_F(SequenceFileOnDisk, MissingIsToldApartFromDamaged) {
  ReplayGuard loaded;
  EXPECT_EQ(LoadSequenceFile(path_, loaded), SequenceFileState::kMissing);
  WriteText(path_, kTwoMarks.substr(0, kTwoMarks.size() - 4));
  EXPECT_EQ(LoadSequenceFile(path_, loaded), SequenceFileState::kDamaged);
  EXPECT_TRUE(loaded.Marks().empty());
}

TEST_F(SequenceFileOnDisk, AFolderThatIsNotThereKeepsNothingAndSaysSo) {
  EXPECT_FALSE(SaveSequenceFile(testing::TempDir() + "no such folder/x.sequences", TwoMarks()));
}

}  // namespace
