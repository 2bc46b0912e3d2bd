// The slave library's exports as its expert declares them.
#pragma once

#include "text_slot.h"

using NoArgFn = int(__stdcall*)();
using IntFn = int(__stdcall*)(int);
using PairFn = int(__stdcall*)(int, int);
using FindFn = int(__stdcall*)(const char*);
using CountsFn = int(__stdcall*)(int*, int*);
using InfoFn = int(__stdcall*)(TextSlot*, TextSlot*);
using OrderGetFn = int(__stdcall*)(int*, int*, int*, double*, TextSlot*, double*, double*, double*,
                                   int*, double*, int*, int*, TextSlot*);
