#include "time_stamp.h"

#include <cstdio>

std::string FormatTimeStamp(const std::tm& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%d.%.2d.%.2d  %.2d:%.2d:%.2d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

std::string CurrentTimeStamp() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);  // only the hub's one thread asks
  return local ? FormatTimeStamp(*local) : std::string();
}
