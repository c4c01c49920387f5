#include "bench/program/ProcessControl.h"

#include "bench/engine/ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Programs to end when we are interrupted; written only by the main thread, read by the signal handler.
constexpr int kMaxChildren = 4;
volatile sig_atomic_t children[kMaxChildren] = {};

void EndChildren(int signal) {
    for (int i = 0; i < kMaxChildren; ++i)
        if (children[i] > 0) kill(children[i], SIGKILL);
    _exit(128 + signal);
}

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

} // namespace

void TrackChild(pid_t pid) {
    for (int i = 0; i < kMaxChildren; ++i)
        if (children[i] == 0) {
            children[i] = pid;
            return;
        }
}

void UntrackChild(pid_t pid) {
    for (int i = 0; i < kMaxChildren; ++i)
        if (children[i] == pid) children[i] = 0;
}

void EndChildrenOnSignal() {
    std::signal(SIGPIPE, SIG_IGN);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, EndChildren);
}

std::string PlayerPath() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (self.parent_path().parent_path() / "nrx-mediaplayer").string();
}

std::vector<std::string> PrivateHomeEnvironment(const std::string& home, const std::string& display) {
    return {"DISPLAY=" + display,
            "HOME=" + home,
            "XDG_CONFIG_HOME=" + home + "/.config",
            "XDG_DATA_HOME=" + home + "/.local/share",
            "XDG_CACHE_HOME=" + home + "/.cache",
            "QT_QPA_PLATFORM=xcb"};
}

double NowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SleepSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

bool RunningProcess::Start(const Launch& launch) {
    std::vector<std::string> args = launch.args;
    std::vector<std::string> env = MergedEnvironment(launch.env);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    const std::string output = launch.outputFile.empty() ? "/dev/null" : launch.outputFile;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const int failed = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed) pid_ = 0;
    if (pid_) TrackChild(pid_);
    return pid_ != 0;
}

bool RunningProcess::Reap(int options, Finished& finished) {
    int status = 0;
    rusage usage{};
    pid_t got;
    while ((got = wait4(pid_, &status, options, &usage)) < 0 && errno == EINTR) {
    }
    if (got != pid_) return false;
    UntrackChild(pid_);
    finished.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    finished.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = 0;
    return true;
}

bool RunningProcess::WaitExit(double seconds, Finished& finished) {
    if (!pid_) return false;
    const double deadline = NowSeconds() + seconds;
    do {
        if (Reap(WNOHANG, finished)) return true;
        SleepSeconds(0.02);
    } while (NowSeconds() < deadline);
    return false;
}

Finished RunningProcess::Stop() {
    Finished finished;
    if (!pid_) return finished;
    kill(pid_, SIGTERM);
    if (WaitExit(2, finished)) return finished;
    kill(pid_, SIGKILL);
    Reap(0, finished);
    return finished;
}

RunningProcess::~RunningProcess() {
    if (!pid_) return;
    kill(pid_, SIGKILL);
    Finished ignored;
    Reap(0, ignored);
}

double ProcessCpuSeconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name may hold spaces and parentheses; the fields that follow start after the last ')'.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // State is field 3 of the file and the first here; utime and stime are fields 14 and 15.
    for (int index = 3; index <= 15 && fields >> field; ++index) {
        if (index == 14) utime = std::stoull(field);
        if (index == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}
