#include "hub_settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace {

HubSettings ReadDefaults() {
  HubSettings s;
  s.x = 22, s.y = 16, s.dx = 180, s.dy = 30;
  s.font_name = "Arial";
  s.font_size = 180;
  s.font_color = 0xFF0000;  // blue
  return s;
}

struct Case {
  const char* name;
  std::string file;
  std::function<void(HubSettings&)> expect;  // changes from the defaults of a read file
};

}  // namespace

void PrintTo(const HubSettings& s, std::ostream* os) {
  *os << "{\"" << s.channel_id << "\", " << s.x << ", " << s.y << ", " << s.dx << ", " << s.dy
      << ", \"" << s.font_name << "\", " << s.font_size << ", 0x" << std::hex << s.font_color
      << std::dec << "}";
}

namespace {

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// A literal with its zero bytes.
template <size_t N>
std::string Bytes(const char (&text)[N]) { return std::string(text, N - 1); }

std::string Root(const std::string& window) { return "<root><window>" + window + "</window></root>"; }
std::string Text(const std::string& text) { return Root("<channel_id>c</channel_id><text>" + text + "</text>"); }

const auto kNone = [](HubSettings&) {};

class HubSettingsFile : public testing::TestWithParam<Case> {};

TEST_P(HubSettingsFile, Reads) {
  HubSettings expected = ReadDefaults();
  GetParam().expect(expected);
  EXPECT_EQ(ReadHubSettings(GetParam().file), expected);
}

INSTANTIATE_TEST_SUITE_P(Edges, HubSettingsFile, testing::Values(
    Case{"empty", "", kNone},
    Case{"no root", "<window><channel_id>c</channel_id></window>", kNone},
    Case{"blank root", "<root> \r\n\t </root>", kNone},
    Case{"truncated", "<root><window><channel_id>abc</chan", kNone},
    Case{"binary", Bytes("\x01\xff<root\x80\x00<root>"), kNone},
    Case{"channel without text", Root("<channel_id> desk 1 </channel_id>"),
         [](HubSettings& s) { s.channel_id = "desk 1"; }},
    Case{"full", Text("<x>1</x><y>2</y><dx>3</dx><dy>4</dy><font_name>Tahoma</font_name>"
                      "<font_size>90</font_size><font_color>00FF00</font_color>"),
         [](HubSettings& s) {
           s = {"c", 1, 2, 3, 4, "Tahoma", 90, 0x00FF00};
         }},
    Case{"blank element counts as absent",
         Root("<channel_id> </channel_id><channel_id>second</channel_id>"),
         [](HubSettings& s) { s.channel_id = "second"; }},
    Case{"first non-empty window and text only",
         "<root><window>\n</window><window><channel_id>a</channel_id><text> </text>"
         "<text><x>5</x></text><text><x>6</x><y>7</y></text></window>"
         "<window><channel_id>b</channel_id></window></root>",
         [](HubSettings& s) { s.channel_id = "a", s.x = 5; }},
    Case{"declarations and attributes ignored",
         "<?xml version=\"1.0\"?><!-- note --><root>\r\n<window>\r\n<channel_id>\r\nq\r\n"
         "</channel_id>\r\n<text x=\"1\"><x>9</x></text>\r\n</window></root>",
         [](HubSettings& s) { s.channel_id = "q"; }},
    Case{"zero byte hides the rest",
         Bytes("<root><window><channel_id>c</channel_id>\0<text><x>1</x></text></window></root>"),
         kNone},
    Case{"zero byte before the text element",
         Bytes("<root><window><channel_id>c</channel_id><text><x>1</x></text></window></root>\0tail"),
         [](HubSettings& s) { s.channel_id = "c", s.x = 1; }},
    Case{"integers", Text("<x>-5</x><y>+7</y><dx>12px</dx><dy>px12</dy><font_size>99999999999</font_size>"),
         [](HubSettings& s) { s.channel_id = "c", s.x = -5, s.y = 7, s.dx = 12, s.dy = 0, s.font_size = INT_MAX; }},
    Case{"lowest integer", Text("<x>-2147483648</x><y>-99999999999</y>"),
         [](HubSettings& s) { s.channel_id = "c", s.x = INT_MIN, s.y = INT_MIN; }},
    Case{"integers among blanks, signs doubled or apart",
         Text("<x>\v-5\f</x><y>\r\n2147483648\t</y><dx>--3</dx><dy>- 4</dy><font_size>+-1</font_size>"),
         [](HubSettings& s) { s.channel_id = "c", s.x = -5, s.y = INT_MAX, s.dx = 0, s.dy = 0, s.font_size = 0; }},
    Case{"red in web notation", Text("<font_color>FF0000</font_color>"),
         [](HubSettings& s) { s.channel_id = "c", s.font_color = 0x0000FF; }},
    Case{"colour with 0x and a tail", Text("<font_color>0x12a4cBz9</font_color>"),
         [](HubSettings& s) { s.channel_id = "c", s.font_color = 0xCBA412; }},
    Case{"colour without digits is black", Text("<font_color>none</font_color>"),
         [](HubSettings& s) { s.channel_id = "c", s.font_color = 0; }},
    Case{"colour too long", Text("<font_color>123456789ABC</font_color>"),
         [](HubSettings& s) { s.channel_id = "c", s.font_color = 0xFFFFFF; }},
    Case{"font name kept inside, trimmed outside", Text("<font_name>  Courier New \t</font_name>"),
         [](HubSettings& s) { s.channel_id = "c", s.font_name = "Courier New"; }}));

TEST(HubSettings, UnreadFileLeavesEverythingEmptyOrZero) {
  EXPECT_EQ(HubSettings{}, (HubSettings{"", 0, 0, 0, 0, "", 0, 0}));
}

TEST(HubSettings, PlatformColorExchangesRedAndBlue) {
  EXPECT_EQ(PlatformColor(0x123456), 0x563412u);
  EXPECT_EQ(PlatformColor(0xFF123456), 0x563412u);  // no room for a fourth byte
}

}  // namespace
