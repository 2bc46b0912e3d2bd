// The image of one master account and the image set the hub hands to slaves.
//
// Image (LF line ends, exact byte tags, nothing escaped):
//   <image>\n<channel_id>ID</channel_id>\n<login>LOGIN</login>\n
//   <market>\nLINE\nLINE</market>\n<history>\nLINE</history>\n</image>\n
// Image set: "<master_cnt>M</master_cnt>\n<slave_cnt>S</slave_cnt>\n" and then every master's
// latest image, oldest registration first, with nothing in between.
#pragma once
#include <string>
#include <string_view>

namespace tag {
inline constexpr std::string_view kImageOpen = "<image>\n";
inline constexpr std::string_view kImageClose = "</image>\n";
inline constexpr std::string_view kChannelIdOpen = "<channel_id>";
inline constexpr std::string_view kChannelIdClose = "</channel_id>\n";
inline constexpr std::string_view kLoginOpen = "<login>";
inline constexpr std::string_view kLoginClose = "</login>\n";
inline constexpr std::string_view kMarketOpen = "<market>\n";
inline constexpr std::string_view kMarketClose = "</market>\n";
inline constexpr std::string_view kHistoryOpen = "<history>\n";
inline constexpr std::string_view kHistoryClose = "</history>\n";
inline constexpr std::string_view kMasterCountOpen = "<master_cnt>";
inline constexpr std::string_view kMasterCountClose = "</master_cnt>\n";
inline constexpr std::string_view kSlaveCountOpen = "<slave_cnt>";
inline constexpr std::string_view kSlaveCountClose = "</slave_cnt>\n";
}  // namespace tag

// The image text from its four parts. `market` and `history` are order lines joined by single
// line feeds, with none after the last line.
std::string BuildImageText(std::string_view channel_id, std::string_view login,
                           std::string_view market, std::string_view history);

// Appends the image-set header with the master and slave counts.
void AppendImageSetHeader(std::string& out, int masters, int slaves);
