// The time of the last accepted image as the panel shows it.
#pragma once
#include <ctime>
#include <string>

// "2009.09.15  08:05:03": full year, month and day with points, two blanks, then the time.
std::string FormatTimeStamp(const std::tm& local_time);

// FormatTimeStamp of the current local time.
std::string CurrentTimeStamp();
