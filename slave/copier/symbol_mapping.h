// Which slave symbol copies a master's symbol, and which symbols the settings let through.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "copy_settings.h"
#include "image_set_model.h"
#include "slave_state.h"

// A pair of symbol_map for the master's symbol as it is or without the master's prefix and
// suffix gives the slave's symbol as written; otherwise the master's symbol loses the master's
// prefix and suffix (where it has them) and gains the slave's.
std::string SlaveSymbol(const CopySettings& settings, std::string_view master_symbol);

// The lists name either side: the master's symbol, without its prefix and suffix, or the
// slave's. A denied symbol stays denied when it is also allowed.
bool SymbolAllowed(const CopySettings& settings, std::string_view master_symbol,
                   std::string_view slave_symbol);

// The facts of `name`, any case; nullptr when the expert gave none.
const SymbolFacts* FindSymbol(std::span<const SymbolFacts> symbols, std::string_view name);

// The symbols whose facts a plan needs: the slave's symbols of the masters' orders and the
// symbols of the slave's open orders, each once. The expert asks its terminal about these.
std::vector<std::string> SymbolsToLookUp(std::span<const TImage> masters,
                                         std::span<const SlaveOrder> slave_open,
                                         const CopySettings& settings);
