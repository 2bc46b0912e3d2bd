#include "config_xml.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ConfigXml, WritesFifteenLinesWithoutALineEndAfterTheLast) {
  const SetupFolders folders{"C:\\Dremont", "M", "S"};
  EXPECT_EQ(ConfigXmlText(folders),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
            "\r\n"
            "<root>\r\n"
            "  <core>\r\n"
            "    <path>C:\\Dremont</path>\r\n"
            "  </core>\r\n"
            "\r\n"
            "  <master>\r\n"
            "    <path>M</path>\r\n"
            "  </master>\r\n"
            "\r\n"
            "  <slave>\r\n"
            "    <path>S</path>\r\n"
            "  </slave>\r\n"
            "</root>");
}

TEST(ConfigXml, IsOneHundredEightySevenBytesPlusTheValues) {
  const SetupFolders defaults = DefaultFolders();
  EXPECT_EQ(ConfigXmlText(defaults).size(), 187 + defaults.m_strCorePath.size() +
                                                defaults.m_strMasterPath.size() +
                                                defaults.m_strSlavePath.size());
  EXPECT_EQ(ConfigXmlText({}).size(), 187u);
}

TEST(ConfigXml, RoundTripsValuesByteForByteButTrimmed) {
  const SetupFolders written{"  D:\\Suite & more  ", "C:\\<odd>\\Master", "\t\xC0\xC1\\Slave\r\n"};
  SetupFolders read = DefaultFolders();
  const std::string text = ConfigXmlText(written);
  EXPECT_NE(text.find("<path>  D:\\Suite & more  </path>"), std::string::npos);
  ReadConfigXmlText(text.c_str(), read);
  EXPECT_EQ(read.m_strCorePath, "D:\\Suite & more");
  EXPECT_EQ(read.m_strMasterPath, "C:\\<odd>\\Master");
  EXPECT_EQ(read.m_strSlavePath, "\xC0\xC1\\Slave");
}

TEST(ConfigXml, AValueHoldingTheClosingTagIsCutThereWhenReadBack) {
  SetupFolders read = DefaultFolders();
  ReadConfigXmlText(ConfigXmlText({"C:\\a</path>b", "M", "S"}).c_str(), read);
  EXPECT_EQ(read.m_strCorePath, "C:\\a");
  EXPECT_EQ(read.m_strMasterPath, "M");
}

// A literal with its zero bytes kept.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

struct ReadCase {
  const char* name;
  std::string text;
  SetupFolders expected;  // empty members: the default stands
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ConfigXmlReading : public testing::TestWithParam<ReadCase> {};

TEST_P(ConfigXmlReading, TakesTheFirstNonEmptyElementAtEachLevel) {
  SetupFolders read = DefaultFolders();
  ReadConfigXmlText(GetParam().text.c_str(), read);
  const SetupFolders defaults = DefaultFolders();
  const SetupFolders& want = GetParam().expected;
  auto or_default = [](const std::string& value, const std::string& fallback) {
    return value.empty() ? fallback : value;
  };
  EXPECT_EQ(read.m_strCorePath, or_default(want.m_strCorePath, defaults.m_strCorePath));
  EXPECT_EQ(read.m_strMasterPath, or_default(want.m_strMasterPath, defaults.m_strMasterPath));
  EXPECT_EQ(read.m_strSlavePath, or_default(want.m_strSlavePath, defaults.m_strSlavePath));
}

const ReadCase kReadCases[] = {
    {"OneLineWithBlanks", "<root><core><path>  D:\\Suite  </path></core></root>", {"D:\\Suite", "", ""}},
    {"AllThree",
     "<root><slave><path>S</path></slave><master><path>M</path></master>"
     "<core><path>C</path></core></root>",
     {"C", "M", "S"}},
    {"EmptyPathKeepsDefault", "<root><core><path></path></core></root>", {}},
    {"BlankPathKeepsDefault", "<root><core><path> \t\r\n </path></core></root>", {}},
    {"SectionWithoutPath", "<root><core>D:\\Suite</core></root>", {}},
    {"FirstNonEmptyPath", "<root><core><path> </path><path>A</path><path>B</path></core></root>",
     {"A", "", ""}},
    {"FirstNonEmptySection",
     "<root><core> </core><core><path>A</path></core><core><path>B</path></core></root>",
     {"A", "", ""}},
    {"FirstSectionEvenWithoutPath", "<root><core>x</core><core><path>A</path></core></root>", {}},
    {"FirstNonEmptyRoot", "<root> </root><root><core><path>A</path></core></root>", {"A", "", ""}},
    {"OnlyTheFirstRoot",
     "<root><core><path>A</path></core></root><root><master><path>M</path></master></root>",
     {"A", "", ""}},
    {"RootNeverClosed", "<root><core><path>A</path></core>", {}},
    {"RootInCapitals", "<ROOT><core><path>A</path></core></ROOT>", {}},
    {"PathWithAttribute", "<root><core><path id=\"1\">A</path></core></root>", {}},
    {"BlankInsideTheBrackets", "<root><core ><path>A</path></core></root>", {}},
    {"AmpersandKept", "<root><core><path>C:\\A&amp;B</path></core></root>", {"C:\\A&amp;B", "", ""}},
    {"DeclarationAndCommentsIgnored",
     "<?xml version=\"1.0\"?><!-- <core> --><root>text<other/><core><path>A</path></core></root>",
     {"A", "", ""}},
    {"NothingBehindAZeroByte",
     Bytes("<root><core><path>A</path></core>\0<master><path>M</path></master></root>"),
     {}},
    {"LongerThanAReadChunk",
     std::string(3000, ' ') + "<root><slave><path>S</path></slave></root>", {"", "", "S"}},
    {"Empty", "", {}},
};

INSTANTIATE_TEST_SUITE_P(Rules, ConfigXmlReading, testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
