// Which images of the set a plan works from: those of followed masters, not copied by another
// expert of this terminal, one per login. Both planners, the hedging and the netting one, take
// their masters from here.
#pragma once
#include <span>
#include <string>
#include <vector>

#include "copy_settings.h"
#include "image_set_model.h"
#include "slave_state.h"

// In the set's order; `log` gets a "skip master ..." line for each image left out.
std::vector<const TImage*> CopiedMasters(std::span<const TImage> masters, const SlaveState& slave,
                                         const CopySettings& settings, std::vector<std::string>& log);
