#include "utf8_cut.h"

#include <cstring>

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts; 0 for any other byte. C0, C1 and F5 to FF
// start no sequence in UTF-8.
size_t AnnouncedLength(unsigned char byte) {
  if (byte >= 0xC2 && byte <= 0xDF) return 2;
  if (byte >= 0xE0 && byte <= 0xEF) return 3;
  if (byte >= 0xF0 && byte <= 0xF4) return 4;
  return 0;
}

}  // namespace

size_t Utf8CutLength(std::string_view text, size_t room) {
  // A text that fits is not ours to judge: a byte that looks like an unfinished character at
  // its end may be a letter of a single-byte code page.
  if (text.size() <= room) return text.size();
  const size_t kept = room;
  // A sequence is at most four bytes: three continuation bytes at the end leave none open.
  size_t continuations = 0;
  while (continuations < 3 && continuations < kept &&
         IsContinuation(static_cast<unsigned char>(text[kept - 1 - continuations])))
    continuations++;
  if (continuations == kept) return kept;
  const size_t lead = kept - 1 - continuations;
  return AnnouncedLength(static_cast<unsigned char>(text[lead])) > continuations + 1 ? lead : kept;
}

void WriteUtf8Cut(char* bytes, size_t size, std::string_view text) {
  const size_t n = Utf8CutLength(text, size - 1);
  std::memcpy(bytes, text.data(), n);
  bytes[n] = '\0';
}
