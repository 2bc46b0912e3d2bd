#include "copier_experts.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "utf8_cut.h"

namespace {

std::optional<std::string_view> Read(TextIn text) {
  if (!text.bytes || text.size < 1) return std::nullopt;
  return std::string_view(text.bytes, strnlen(text.bytes, static_cast<size_t>(text.size)));
}

bool Writable(const TextBuffer& to) { return to.bytes && to.size >= 1; }

bool Writable(const ActionOut& out) {
  return out.kind && out.ticket && Writable(out.symbol) && out.type && out.lots && out.price && out.sl &&
         out.tp && out.expiration && out.magic && Writable(out.comment);
}

void Write(const TextBuffer& to, std::string_view text) {
  WriteUtf8Cut(to.bytes, static_cast<size_t>(to.size), text);
}

template <typename T>
const T* At(const std::vector<T>& items, int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < items.size() ? &items[static_cast<size_t>(index)] : nullptr;
}

}  // namespace

CopierSession* CopierExperts::Find(int32_t expert) {
  auto found = sessions_.find(expert);
  return found == sessions_.end() ? nullptr : &found->second;
}

const CopierSession* CopierExperts::Find(int32_t expert) const {
  auto found = sessions_.find(expert);
  return found == sessions_.end() ? nullptr : &found->second;
}

CopierSession& CopierExperts::FindOrStart(int32_t expert) {
  return sessions_.try_emplace(expert, expert).first->second;
}

int32_t CopierExperts::Settings(int32_t expert, TextIn text) {
  std::optional<std::string_view> read = Read(text);
  if (!read) return -1;
  return FindOrStart(expert).ApplySettings(*read);
}

int32_t CopierExperts::Begin(int32_t expert, int32_t now, int32_t following_since) {
  FindOrStart(expert).Begin(now, following_since);
  return 0;
}

int32_t CopierExperts::OrderAdd(int32_t expert, int32_t pool, const SlaveOrder& order_without_symbol,
                                TextIn symbol) {
  CopierSession* session = Find(expert);
  std::optional<std::string_view> read = Read(symbol);
  if (!session || !read) return -1;
  SlaveOrder order = order_without_symbol;
  order.symbol = *read;
  return session->AddOrder(pool, order) ? 0 : -1;
}

int32_t CopierExperts::SymbolsWanted(int32_t expert, std::span<const TImage> masters) {
  CopierSession* session = Find(expert);
  return session ? session->FindWantedSymbols(masters) : 0;
}

int32_t CopierExperts::SymbolName(int32_t expert, int32_t index, const TextBuffer& name) {
  const CopierSession* session = Find(expert);
  const std::string* wanted = session ? At(session->WantedSymbols(), index) : nullptr;
  if (!wanted || !Writable(name)) return 0;
  Write(name, *wanted);
  return 1;
}

int32_t CopierExperts::SymbolAdd(int32_t expert, const SymbolFacts& facts_without_name, TextIn name) {
  CopierSession* session = Find(expert);
  std::optional<std::string_view> read = Read(name);
  if (!session || !read) return -1;
  SymbolFacts facts = facts_without_name;
  facts.name = *read;
  return session->AddSymbol(facts) ? 0 : -1;
}

int32_t CopierExperts::Plan(int32_t expert, std::span<const TImage> masters) {
  CopierSession* session = Find(expert);
  return session ? session->Plan(masters, claims_) : -1;
}

int32_t CopierExperts::ActionGet(int32_t expert, int32_t index, const ActionOut& out) const {
  const CopierSession* session = Find(expert);
  const CopyAction* action = session ? At(session->Actions(), index) : nullptr;
  if (!action || !Writable(out)) return 0;
  *out.kind = static_cast<int32_t>(action->kind);
  *out.ticket = action->ticket;
  Write(out.symbol, action->symbol);
  *out.type = action->type;
  *out.lots = action->lots;
  *out.price = action->price;
  *out.sl = action->sl;
  *out.tp = action->tp;
  *out.expiration = action->expiration;
  *out.magic = action->magic;
  Write(out.comment, action->comment);
  return 1;
}

int32_t CopierExperts::ActionDone(int32_t expert, int32_t index, int32_t error) {
  CopierSession* session = Find(expert);
  return session && session->ActionDone(index, error) ? 1 : 0;
}

int32_t CopierExperts::LogCount(int32_t expert) const {
  const CopierSession* session = Find(expert);
  return session ? static_cast<int32_t>(session->Log().size()) : 0;
}

int32_t CopierExperts::LogGet(int32_t expert, int32_t index, const TextBuffer& line) const {
  const CopierSession* session = Find(expert);
  const std::string* text = session ? At(session->Log(), index) : nullptr;
  if (!text || !Writable(line)) return 0;
  Write(line, *text);
  return 1;
}

int32_t CopierExperts::End(int32_t expert) {
  claims_.Release(expert);
  return sessions_.erase(expert) ? 0 : -1;
}
