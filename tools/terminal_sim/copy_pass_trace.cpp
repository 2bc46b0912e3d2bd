#include "copy_pass_trace.h"

#include <cstdio>
#include <sstream>

std::string FormatPassTrace(const CopyPassTrace& p) {
  char line[200];
  std::snprintf(line, sizeof line, "pass %.3f %.3f %.3f %.3f %.3f %.3f %.3f %d", p.wait_began, p.woke,
                p.fetched, p.split, p.gathered, p.planned, p.done, p.actions);
  return line;
}

bool ParsePassTrace(std::string_view line, CopyPassTrace& pass) {
  std::istringstream in{std::string(line)};
  std::string word;
  CopyPassTrace p;
  if (!(in >> word) || word != "pass" ||
      !(in >> p.wait_began >> p.woke >> p.fetched >> p.split >> p.gathered >> p.planned >> p.done >> p.actions))
    return false;
  if (in >> word) return false;  // more than a pass
  const double steps[] = {p.wait_began, p.woke, p.fetched, p.split, p.gathered, p.planned, p.done};
  for (size_t i = 1; i < std::size(steps); i++)
    if (steps[i] < steps[i - 1]) return false;
  if (p.actions < 0) return false;
  pass = p;
  return true;
}

bool ParsePassTraces(std::string_view text, std::vector<CopyPassTrace>& passes) {
  passes.clear();
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
    CopyPassTrace pass;
    if (!ParsePassTrace(text.substr(start, end - start), pass)) return false;
    passes.push_back(pass);
  }
  return true;
}
