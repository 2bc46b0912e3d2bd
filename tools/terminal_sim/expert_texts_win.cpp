#include "expert_texts_win.h"

namespace {

// A string element as the expert declares it: filled to `capacity` bytes with its terminator.
struct Element {
  explicit Element(int capacity) : text(capacity - 1, ' ') { slot = {capacity - 1, &text[0]}; }
  std::string Value() const { return text.c_str(); }
  std::string text;
  TextSlot slot;
};

std::wstring Widen(const std::string& text, UINT code_page) {
  const int n =
      MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

std::string Utf8Of(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), NULL,
                                    0, NULL, NULL);
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], n, NULL,
                      NULL);
  return text;
}

// A uchar array as the expert declares it, `size` bytes that held something before. Its text
// (up to the first zero) becomes the expert's UTF-16 string, as CharArrayToString with CP_UTF8
// makes it, and comes back as UTF-8 for printing.
struct ByteArray {
  explicit ByteArray(int size) : bytes(static_cast<size_t>(size), ' ') {}
  unsigned char* Data() { return reinterpret_cast<unsigned char*>(&bytes[0]); }
  int Size() const { return static_cast<int>(bytes.size()); }
  std::string Value() const { return Utf8Of(Widen(bytes.substr(0, bytes.find('\0')), CP_UTF8)); }
  std::string bytes;
};

}  // namespace

int FindHub(const SlaveExports& library, TextPassing passing, const std::string& channel) {
  if (passing == TextPassing::kStringElements) return library.find_window(channel.c_str());
  // The expert's string (the command line's text) as UTF-8 bytes with their terminator, as
  // StringToCharArray with CP_UTF8 gives them.
  const std::string bytes = Utf8Of(Widen(channel, CP_ACP));
  return library.find_window(bytes.c_str());
}

bool ReadImageInfo(const SlaveExports& library, TextPassing passing, std::string& channel_id,
                   std::string& login) {
  if (passing == TextPassing::kStringElements) {
    Element id(kChannelIdCapacity), user(kLoginCapacity);
    if (!library.image_get_info(&id.slot, &user.slot)) return false;
    channel_id = id.Value();
    login = user.Value();
    return true;
  }
  ByteArray id(kChannelIdCapacity), user(kLoginCapacity);
  if (!library.image_get_info_a(id.Data(), id.Size(), user.Data(), user.Size())) return false;
  channel_id = id.Value();
  login = user.Value();
  return true;
}

bool ReadOrder(const SlaveExports& library, TextPassing passing, OrderRead& o) {
  if (passing == TextPassing::kStringElements) {
    Element symbol(kSymbolCapacity), comment(kCommentCapacity);
    if (!library.order_get(&o.num1, &o.num2, &o.type, &o.lots, &symbol.slot, &o.price6, &o.price7,
                           &o.price8, &o.close_time, &o.close_price, &o.num11, &o.num12,
                           &comment.slot))
      return false;
    o.symbol = symbol.Value();
    o.comment = comment.Value();
    return true;
  }
  ByteArray symbol(kSymbolCapacity), comment(kCommentCapacity);
  if (!library.order_get_a(&o.num1, &o.num2, &o.type, &o.lots, symbol.Data(), symbol.Size(),
                           &o.price6, &o.price7, &o.price8, &o.close_time, &o.close_price,
                           &o.num11, &o.num12, comment.Data(), comment.Size()))
    return false;
  o.symbol = symbol.Value();
  o.comment = comment.Value();
  return true;
}
