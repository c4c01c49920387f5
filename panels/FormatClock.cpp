#include "panels/FormatClock.h"

#include <ctime>

QString FormatClock(std::int64_t seconds, const char* format) {
    if (seconds < 0) seconds = 0;
    std::tm parts{};
    const std::int64_t inDay = seconds % 86400;
    parts.tm_hour = static_cast<int>(inDay / 3600);
    parts.tm_min = static_cast<int>(inDay / 60 % 60);
    parts.tm_sec = static_cast<int>(inDay % 60);
    parts.tm_mday = 1;
    parts.tm_year = 70;
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, format, &parts);
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(n));
}
