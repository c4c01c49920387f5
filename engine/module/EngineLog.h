// Diagnostics of the component: the per-thread last error text and the dated warning/error log files.
#pragma once

#include <string>

namespace nrx {

// Text of the last failure on the calling thread; the COM methods fill it before returning an error.
void SetLastError(const std::string& text);
void ClearLastError();
std::string LastError();

// Log files go to one folder (none until a folder is set): one text file per day, total size bounded by
// removing the oldest files. FFmpeg's own warnings and errors are routed here as well.
namespace EngineLog {
bool SetFolder(const std::string& folder, std::string& error);
void Write(const char* level, const std::string& text);
void InstallFFmpegHook();
constexpr long long kMaxFileBytes = 1 << 20;
constexpr long long kMaxTotalBytes = 4 << 20;
} // namespace EngineLog

} // namespace nrx
