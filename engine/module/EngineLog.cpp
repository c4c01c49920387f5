#include "engine/module/EngineLog.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace nrx {

namespace {
// Per-thread last errors. Kept in a map rather than in thread_local storage: the module is loaded with
// dlopen, and dynamic TLS in such a module trips LeakSanitizer's thread inspection at exit.
std::mutex errorMutex; // guards lastErrors
std::map<std::thread::id, std::string> lastErrors;

std::mutex logMutex; // guards logFolder and every write to the log files
std::filesystem::path logFolder;

std::string Today(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[64];
    std::strftime(buf, sizeof buf, format, &local);
    return buf;
}

bool IsOurLog(const std::filesystem::path& p) {
    const std::string name = p.filename().string();
    return name.rfind("nrxvideoengine-", 0) == 0 && p.extension() == ".log";
}

// Removes the oldest log files (by name, which is by date) until today's file can grow to its cap within
// the total bound.
void Prune() {
    std::error_code ec;
    std::vector<std::pair<std::filesystem::path, long long>> logs;
    long long total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(logFolder, ec)) {
        if (!entry.is_regular_file(ec) || !IsOurLog(entry.path())) continue;
        const long long size = static_cast<long long>(entry.file_size(ec));
        logs.emplace_back(entry.path(), size);
        total += size;
    }
    std::sort(logs.begin(), logs.end());
    for (const auto& [path, size] : logs) {
        if (total <= EngineLog::kMaxTotalBytes - EngineLog::kMaxFileBytes) break; // room for today's file to grow
        std::filesystem::remove(path, ec);
        total -= size;
    }
}

void FFmpegLog(void* avcl, int level, const char* format, va_list args) {
    if (level > AV_LOG_WARNING) return;
    char line[1024];
    int prefix = 1;
    av_log_format_line2(avcl, level, format, args, line, sizeof line, &prefix);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (!text.empty()) EngineLog::Write(level <= AV_LOG_ERROR ? "error" : "warning", "ffmpeg: " + text);
}
} // namespace

void SetLastError(const std::string& text) {
    std::lock_guard lock(errorMutex);
    lastErrors[std::this_thread::get_id()] = text;
}
void ClearLastError() {
    std::lock_guard lock(errorMutex);
    lastErrors.erase(std::this_thread::get_id());
}
std::string LastError() {
    std::lock_guard lock(errorMutex);
    const auto it = lastErrors.find(std::this_thread::get_id());
    return it == lastErrors.end() ? std::string() : it->second;
}

namespace EngineLog {

bool SetFolder(const std::string& folder, std::string& error) {
    std::error_code ec;
    const std::filesystem::path path(folder);
    if (folder.empty()) {
        error = "The error log folder name is empty.";
        return false;
    }
    std::filesystem::create_directories(path, ec);
    if (!std::filesystem::is_directory(path, ec)) {
        error = "Cannot create the error log folder \"" + folder + "\"" + (ec ? ": " + ec.message() : "");
        return false;
    }
    std::lock_guard lock(logMutex);
    logFolder = path;
    return true;
}

void Write(const char* level, const std::string& text) {
    std::lock_guard lock(logMutex);
    if (logFolder.empty()) return;
    const auto file = logFolder / ("nrxvideoengine-" + Today("%Y-%m-%d") + ".log");
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    const bool newFile = static_cast<bool>(ec);
    if (!newFile && static_cast<long long>(size) >= kMaxFileBytes) return; // a flood of errors is cut, not rotated
    std::ofstream out(file, std::ios::app);
    if (!out) return;
    out << Today("%H:%M:%S") << ' ' << level << ": " << text << '\n';
    out.close();
    // Only a new day's file can push the total over the bound: the current file is capped on its own.
    if (newFile) Prune();
}

void InstallFFmpegHook() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(FFmpegLog); });
}

} // namespace EngineLog
} // namespace nrx
