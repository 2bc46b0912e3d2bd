#include "copy_link.h"

#include <charconv>

#include "fixed_point.h"
#include "utf8_cut.h"

namespace {

constexpr uint32_t kFnvOffset = 2166136261u;
constexpr uint32_t kFnvPrime = 16777619u;
// The terminal keeps 31 bytes of an order's comment.
constexpr size_t kOrderCommentLength = 31;

uint32_t FnvStep(uint32_t hash, unsigned char byte) { return (hash ^ byte) * kFnvPrime; }

}  // namespace

int32_t CopyMagic(std::string_view login, int32_t root_ticket) {
  uint32_t hash = kFnvOffset;
  for (char c : login) hash = FnvStep(hash, static_cast<unsigned char>(c));
  hash = FnvStep(hash, 0);
  uint32_t ticket = static_cast<uint32_t>(root_ticket);
  for (int shift = 0; shift < 32; shift += 8) hash = FnvStep(hash, (ticket >> shift) & 0xFF);
  int32_t magic = static_cast<int32_t>(hash & 0x7FFFFFFF);
  return magic ? magic : 1;
}

std::string CopyComment(std::string_view login, int32_t root_ticket) {
  std::string comment = "qelv ";
  comment += login;
  comment += " #";
  AppendInt(comment, root_ticket);
  comment.resize(Utf8CutLength(comment, kOrderCommentLength));
  return comment;
}

namespace {

int32_t TicketAfter(std::string_view prefix, std::string_view comment) {
  if (comment.substr(0, prefix.size()) != prefix) return 0;
  comment.remove_prefix(prefix.size());
  int32_t ticket = 0;
  auto [end, error] = std::from_chars(comment.data(), comment.data() + comment.size(), ticket);
  if (error != std::errc() || end == comment.data() || ticket <= 0) return 0;
  return ticket;
}

}  // namespace

int32_t FromTicket(std::string_view comment) { return TicketAfter("from #", comment); }

int32_t ToTicket(std::string_view comment) { return TicketAfter("to #", comment); }
