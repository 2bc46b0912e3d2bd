// A slave library for native tests of the slave experts: its planner answers the plan a test
// scripts, and every call the expert makes is recorded as text.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "mql_types.h"

struct Action {
  int kind, ticket;
  std::string symbol;
  int type;
  double lots, price, sl, tp;
  int expiration, magic;
  std::string comment;
};

struct SlaveLibrary {
  std::string settings;
  int problems = 0;
  int published = 77, held = 0, fetches = 0;
  std::string begun;
  std::vector<std::string> given, symbols = {"EURUSD.m"}, facts, done, log;
  std::vector<Action> plan;
};

// What the library was told and answers; reset it at the start of every test.
extern SlaveLibrary g_library;

// Puts the library's functions into a fake terminal's table, as "qelv_r30uv.dll::<name>".
void InstallFakeSlaveLibrary(std::map<std::string, void*>& functions);
