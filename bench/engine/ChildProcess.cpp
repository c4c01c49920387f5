#include "bench/engine/ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        const std::string item = *entry;
        const std::string name = item.substr(0, item.find('='));
        bool replaced = false;
        for (const std::string& add : extra)
            replaced = replaced || add.compare(0, name.size() + 1, name + "=") == 0;
        if (!replaced) merged.push_back(item);
    }
    merged.insert(merged.end(), extra.begin(), extra.end());
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

namespace {

long StatusFieldKb(const char* field, int pid = 0) {
    std::ifstream status(pid > 0 ? "/proc/" + std::to_string(pid) + "/status"
                                 : std::string("/proc/self/status"));
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0) {
            std::istringstream value(line.substr(length));
            long kb = 0;
            value >> kb;
            return kb;
        }
    }
    return 0;
}

} // namespace

ProcessResult RunProcess(const std::vector<std::string>& args, OutputMode output,
                         const std::vector<std::string>& extraEnv) {
    ProcessResult result;
    std::vector<std::string> argStrings = args;
    std::vector<std::string> envStrings = MergedEnvironment(extraEnv);
    std::vector<char*> argv = Pointers(argStrings);
    std::vector<char*> envp = Pointers(envStrings);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output == OutputMode::Silent) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return result;
    result.started = true;

    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) return result;
    }
    result.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    result.peakRssKb = usage.ru_maxrss;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool ToolAvailable(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    return false;
}

long CurrentRssKb(int pid) {
    return StatusFieldKb("VmRSS:", pid);
}

long PeakRssKb() {
    return StatusFieldKb("VmHWM:");
}
