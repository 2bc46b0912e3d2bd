// The master library's exports as its expert declares them.
#pragma once

using PairFn = int(__stdcall*)(int, int);
using FindFn = int(__stdcall*)(const char*);
using NoArgFn = int(__stdcall*)();
using VoidFn = void(__stdcall*)();
using SetFn = void(__stdcall*)(const char*, const char*);
using AppendFn = void(__stdcall*)(int, int, int, int, int, int, double, const char*, double, double,
                                  double, int, double, int, int, const char*);
using SendFn = void(__stdcall*)(int);
