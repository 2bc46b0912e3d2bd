// The hub's settings and their reader for qelv.xml:
//
//   <root><window>
//     <channel_id>desk1</channel_id>
//     <text><x>22</x><y>16</y><dx>180</dx><dy>30</dy>
//       <font_name>Arial</font_name><font_size>180</font_size><font_color>0000FF</font_color>
//     </text>
//   </window></root>
//
// Plain tag search, no XML parser: the first non-empty element at each level counts.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Default-constructed: the settings of a hub whose qelv.xml could not be opened.
struct HubSettings {
  std::string channel_id;
  int x = 0, y = 0, dx = 0, dy = 0;  // panel layout, pixels
  std::string font_name;
  int font_size = 0;        // tenths of a point
  uint32_t font_color = 0;  // platform colour: red in the low byte, blue in the third

  bool operator==(const HubSettings&) const = default;
};

// The settings from the bytes of a qelv.xml that could be read; what the file leaves out
// keeps the defaults of a read file (x 22, y 16, dx 180, dy 30, Arial 18 pt, blue).
HubSettings ReadHubSettings(std::string_view file);

// Web notation 0xRRGGBB to the platform's colour: red and blue bytes exchanged.
uint32_t PlatformColor(uint32_t web_color);
