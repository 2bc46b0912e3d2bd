// Reads the image set as the hub writes it, for example (-> stands for a TAB):
//
//   <master_cnt>1</master_cnt>
//   <slave_cnt>2</slave_cnt>
//   <image>
//   <channel_id>room1</channel_id>
//   <login>4711</login>
//   <market>
//   101->2->0->0.10->EURUSD->1.23450->1.20000->1.30000->0->0.00000->11->12->copied</market>
//   <history>
//   </history>
//   </image>
//
// Tags are exact byte strings; a value runs from the end of its opening tag to the first closing
// tag after it, and a missing tag gives an empty value. The image list ends at the first missing
// image or at an image with an empty body. Sections are cut into lines at line feeds and lines
// into fields at TABs; lines and fields are trimmed of spaces and line feeds (nothing else), and
// every line must hold exactly 13 fields.
#include "image_set_split.h"

#include <algorithm>
#include <cstring>

#include "image_text.h"
#include "number_text.h"
#include "utf8_cut.h"

namespace {

constexpr char kLineSizeError[] = "[line.size] 13 items required";
constexpr char kMemoryError[] = "[memory] not enough memory to split the image set";
constexpr size_t kFieldsPerLine = 13;
constexpr size_t npos = std::string_view::npos;

struct Extracted {
  std::string_view value;
  size_t end = npos;  // just behind the closing tag
};

// The value of the first `open` ... `close` element at or after `start`. No opening tag holds
// "</", so a closing tag found from where its opening tag begins always lies behind its end:
// searching from that end finds the same one.
Extracted Extract(std::string_view text, size_t start, std::string_view open,
                  std::string_view close) {
  if (start >= text.size()) return {};
  size_t open_at = text.find(open, start);
  if (open_at == npos) return {};
  size_t value_at = open_at + open.size();
  size_t close_at = text.find(close, value_at);
  if (close_at == npos) return {};
  return {text.substr(value_at, close_at - value_at), close_at + close.size()};
}

std::string_view Trim(std::string_view s) {
  size_t begin = 0, end = s.size();
  while (begin < end && (s[begin] == ' ' || s[begin] == '\n')) begin++;
  while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\n')) end--;
  return s.substr(begin, end - begin);
}

// Cuts a line at its TABs into trimmed fields; true when there are exactly 13 of them. An empty
// line holds no fields.
bool SplitFields(std::string_view line, std::string_view (&fields)[kFieldsPerLine]) {
  if (line.empty()) return false;
  size_t count = 0;
  for (size_t pos = 0;;) {
    if (count == kFieldsPerLine) return false;
    size_t tab = line.find('\t', pos);
    fields[count++] = Trim(line.substr(pos, tab == npos ? npos : tab - pos));
    if (tab == npos) return count == kFieldsPerLine;
    pos = tab + 1;
  }
}

// Copies the text and its terminator; a longer text than capacity - 1 bytes is cut between
// UTF-8 characters, so that a stored text ends unfinished only as the master wrote it.
template <size_t capacity>
void CopyCut(char (&to)[capacity], std::string_view text) {
  WriteUtf8Cut(to, capacity, text);
}

void FillOrder(TOrder& o, const std::string_view (&f)[kFieldsPerLine]) {
  o.num1 = ReadInt32(f[0]);
  o.num2 = ReadInt32(f[1]);
  o.type = ReadInt32(f[2]);
  o.lots = ReadReal(f[3]);
  CopyCut(o.symbol, f[4]);
  o.price6 = ReadReal(f[5]);
  o.price7 = ReadReal(f[6]);
  o.price8 = ReadReal(f[7]);
  o.close_time = ReadInt32(f[8]);
  o.close_price = ReadReal(f[9]);
  o.num11 = ReadInt32(f[10]);
  o.num12 = ReadInt32(f[11]);
  CopyCut(o.comment, f[12]);
}

// Appends the section's lines to `orders` one by one; false at the first line that does not
// hold 13 fields, with the lines before it appended.
bool ReadSection(std::string_view section, std::vector<TOrder>& orders) {
  if (section.empty()) return true;
  // Room for every line, but for no more than lines of 12 TABs (the shortest) could fill: a
  // section of line feeds alone must not ask for memory it will never use.
  const size_t lines = static_cast<size_t>(std::count(section.begin(), section.end(), '\n')) + 1;
  orders.reserve(orders.size() + std::min(lines, section.size() / 13 + 1));
  for (size_t pos = 0;;) {
    size_t lf = section.find('\n', pos);
    std::string_view fields[kFieldsPerLine];
    if (!SplitFields(Trim(section.substr(pos, lf == npos ? npos : lf - pos)), fields)) return false;
    FillOrder(orders.emplace_back(), fields);
    if (lf == npos) return true;
    pos = lf + 1;
  }
}

// An image of the previous model, emptied but with its memory kept: splitting a set of the same
// size again then neither allocates nor faults in its pages anew.
TImage Recycle(std::vector<TImage>& previous, size_t index) {
  if (index >= previous.size()) return {};
  TImage image = std::move(previous[index]);
  image.channel_id.clear();
  image.login.clear();
  image.market.clear();
  image.history.clear();
  return image;
}

template <size_t n>
void SetError(ImageSet& set, const char (&message)[n]) {
  static_assert(n <= sizeof set.error);
  std::memcpy(set.error, message, n);
}

}  // namespace

int SplitImageSet(std::string_view text, ImageSet& set) noexcept {
  text = text.substr(0, text.find('\0'));
  set.master_count = ReadInt32(Extract(text, 0, tag::kMasterCountOpen, tag::kMasterCountClose).value);
  set.slave_count = ReadInt32(Extract(text, 0, tag::kSlaveCountOpen, tag::kSlaveCountClose).value);
  std::vector<TImage> previous;
  previous.swap(set.images);
  // Every list grows by whole entries, so running out of memory anywhere below leaves a model
  // that holds only complete images and orders.
  try {
    for (size_t start = 0;;) {
      Extracted image = Extract(text, start, tag::kImageOpen, tag::kImageClose);
      if (image.value.empty()) return 1;
      start = image.end;
      TImage& last = set.images.emplace_back(Recycle(previous, set.images.size()));
      last.channel_id = Extract(image.value, 0, tag::kChannelIdOpen, tag::kChannelIdClose).value;
      last.login = Extract(image.value, 0, tag::kLoginOpen, tag::kLoginClose).value;
      if (!ReadSection(Extract(image.value, 0, tag::kMarketOpen, tag::kMarketClose).value, last.market) ||
          !ReadSection(Extract(image.value, 0, tag::kHistoryOpen, tag::kHistoryClose).value, last.history)) {
        SetError(set, kLineSizeError);
        return 0;
      }
    }
  } catch (...) {
    SetError(set, kMemoryError);
    return 0;
  }
}
