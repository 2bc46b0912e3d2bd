#include "image_set_cut.h"

#include "image_text.h"

namespace {

// The value between `open` and the first `close` behind it, from `start` on; `end` is set just
// behind the closing tag. Empty (and `end` npos) when either tag is missing.
std::string_view Between(std::string_view text, size_t start, std::string_view open,
                         std::string_view close, size_t& end) {
  end = std::string_view::npos;
  const size_t open_at = start < text.size() ? text.find(open, start) : std::string_view::npos;
  if (open_at == std::string_view::npos) return {};
  const size_t value_at = open_at + open.size();
  const size_t close_at = text.find(close, value_at);
  if (close_at == std::string_view::npos) return {};
  end = close_at + close.size();
  return text.substr(value_at, close_at - value_at);
}

}  // namespace

std::string_view ImageLogin(std::string_view image) {
  size_t end;
  return Between(image, 0, tag::kLoginOpen, tag::kLoginClose, end);
}

std::map<std::string, std::string> ImagesByLogin(std::string_view image_set) {
  image_set = image_set.substr(0, image_set.find('\0'));
  std::map<std::string, std::string> images;
  for (size_t start = 0;;) {
    size_t end;
    const std::string_view body = Between(image_set, start, tag::kImageOpen, tag::kImageClose, end);
    if (body.empty()) return images;
    const size_t image_at = end - tag::kImageClose.size() - body.size() - tag::kImageOpen.size();
    images.try_emplace(std::string(ImageLogin(body)), image_set.substr(image_at, end - image_at));
    start = end;
  }
}
