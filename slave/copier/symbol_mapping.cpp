#include "symbol_mapping.h"

#include "ascii_case.h"
#include "order_texts.h"

namespace {

std::string_view WithoutMasterAffixes(const CopySettings& settings, std::string_view symbol) {
  const std::string& prefix = settings.master_prefix;
  const std::string& suffix = settings.master_suffix;
  if (!prefix.empty() && symbol.size() > prefix.size() && StartsWithIgnoringCase(symbol, prefix))
    symbol.remove_prefix(prefix.size());
  if (!suffix.empty() && symbol.size() > suffix.size() && EndsWithIgnoringCase(symbol, suffix))
    symbol.remove_suffix(suffix.size());
  return symbol;
}

bool Listed(const std::vector<std::string>& list, std::string_view master_symbol,
            std::string_view base, std::string_view slave_symbol) {
  for (const std::string& name : list)
    if (EqualsIgnoringCase(name, master_symbol) || EqualsIgnoringCase(name, base) ||
        EqualsIgnoringCase(name, slave_symbol))
      return true;
  return false;
}

void AddOnce(std::vector<std::string>& names, std::string_view name) {
  for (const std::string& known : names)
    if (EqualsIgnoringCase(known, name)) return;
  names.emplace_back(name);
}

}  // namespace

std::string SlaveSymbol(const CopySettings& settings, std::string_view master_symbol) {
  std::string_view base = WithoutMasterAffixes(settings, master_symbol);
  for (std::string_view name : {master_symbol, base})
    for (const SymbolPair& pair : settings.symbol_map)
      if (EqualsIgnoringCase(pair.master, name)) return pair.slave;
  return settings.slave_prefix + std::string(base) + settings.slave_suffix;
}

bool SymbolAllowed(const CopySettings& settings, std::string_view master_symbol,
                   std::string_view slave_symbol) {
  std::string_view base = WithoutMasterAffixes(settings, master_symbol);
  if (Listed(settings.deny_symbols, master_symbol, base, slave_symbol)) return false;
  return settings.allow_symbols.empty() ||
         Listed(settings.allow_symbols, master_symbol, base, slave_symbol);
}

const SymbolFacts* FindSymbol(std::span<const SymbolFacts> symbols, std::string_view name) {
  for (const SymbolFacts& facts : symbols)
    if (EqualsIgnoringCase(facts.name, name)) return &facts;
  return nullptr;
}

std::vector<std::string> SymbolsToLookUp(std::span<const TImage> masters,
                                         std::span<const SlaveOrder> slave_open,
                                         const CopySettings& settings) {
  std::vector<std::string> names;
  for (const TImage& image : masters)
    for (const TOrder& order : image.market)
      AddOnce(names, SlaveSymbol(settings, SymbolOf(order)));
  for (const SlaveOrder& order : slave_open) AddOnce(names, order.symbol);
  return names;
}
