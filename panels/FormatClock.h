// FormatClock: a count of seconds shown as a clock time, for the seek bar, the time tips and reports.
#pragma once

#include <QString>
#include <cstdint>

// Prints seconds as a UTC time of day with a strftime-style format ("%H:%M:%S" as a rule).
// A day or more wraps around; negative counts are shown as 0.
QString FormatClock(std::int64_t seconds, const char* format = "%H:%M:%S");
