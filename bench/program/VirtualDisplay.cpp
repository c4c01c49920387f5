#include "bench/program/VirtualDisplay.h"

#include "bench/program/ProcessControl.h"

#include <X11/Xlib.h>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
// The descriptor the server writes its display number to (-displayfd); high enough to be free in the child.
constexpr int kDisplayFd = 9;
constexpr int kStartTimeoutMs = 10000;
} // namespace

bool VirtualDisplay::Start(std::string& error) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        error = "no pipe for the X server";
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], kDisplayFd);
    const std::string fd = std::to_string(kDisplayFd);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24", "-nolisten", "tcp",
                          "-noreset", nullptr};
    const int failed = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (!failed) TrackChild(pid_);
    if (failed) {
        close(pipeFds[0]);
        pid_ = 0;
        error = "Xvfb could not be started (is it installed?)";
        return false;
    }
    // The server writes "N\n" once it accepts connections.
    std::string number;
    pollfd ready{pipeFds[0], POLLIN, 0};
    while (poll(&ready, 1, kStartTimeoutMs) > 0) {
        char c = 0;
        if (read(pipeFds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(pipeFds[0]);
    if (number.empty()) {
        error = "Xvfb did not report a display within 10 s";
        return false;
    }
    name_ = ":" + number;
    return true;
}

double VirtualDisplay::CpuSeconds() const { return pid_ ? ProcessCpuSeconds(pid_) : -1; }

bool VirtualDisplay::MovePointer(int x, int y) {
    if (!connection_ && !name_.empty()) connection_ = XOpenDisplay(name_.c_str());
    if (!connection_) return false;
    XWarpPointer(connection_, None, DefaultRootWindow(connection_), 0, 0, 0, 0, x, y);
    XSync(connection_, False);
    return true;
}

VirtualDisplay::~VirtualDisplay() {
    if (connection_) XCloseDisplay(connection_);
    if (!pid_) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    UntrackChild(pid_);
}
