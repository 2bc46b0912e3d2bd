#include "one_image.h"

#include "image_set_model.h"
#include "image_set_split.h"
#include "image_text.h"

bool IsOneImage(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return false;
  if (text.substr(0, tag::kImageOpen.size()) != tag::kImageOpen) return false;
  // The first closing tag ends the text: nothing may follow the image.
  const size_t close = text.find(tag::kImageClose);
  if (close == std::string_view::npos || close + tag::kImageClose.size() != text.size())
    return false;
  // Read as the slaves will read it; the set's header plays no part in finding its images.
  ImageSet split;
  return SplitImageSet(text, split) == 1 && split.images.size() == 1;
}
