// Starting a measured program in the background and stopping it, with its CPU time taken from the kernel.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct Launch {
    std::vector<std::string> args;     // args[0] is searched on PATH
    std::vector<std::string> env;      // "NAME=value", added to or replacing our environment
    std::string outputFile;            // stdout and stderr both go here; /dev/null when empty
};

struct Finished {
    int exitCode = -1;     // -1 when ended by a signal
    double cpuSeconds = 0; // user + system of all its threads, from wait4
};

class RunningProcess {
public:
    // False (pid stays 0) when the program could not be started.
    bool Start(const Launch& launch);
    pid_t Pid() const { return pid_; }
    // Waits up to seconds for the program to end by itself; true (with finished filled) when it did.
    bool WaitExit(double seconds, Finished& finished);
    // Ends the program with SIGTERM, SIGKILL two seconds later if it ignores that, and reaps it.
    Finished Stop();
    ~RunningProcess();

private:
    bool Reap(int options, Finished& finished);

    pid_t pid_ = 0;
};

// Makes SIGINT, SIGTERM and SIGHUP end every program started here (the X server included) before this one
// ends, and ignores SIGPIPE, so that an interrupted benchmark leaves nothing running.
void EndChildrenOnSignal();
// Registers a program started outside RunningProcess (the X server) for that.
void TrackChild(pid_t pid);
void UntrackChild(pid_t pid);

// The built player beside the bench folder (build/bin/nrx-mediaplayer seen from build/bin/bench).
std::string PlayerPath();
// DISPLAY, HOME, the XDG folders under home and the xcb platform: the player runs with settings, documents
// and caches of its own, and the user's are never read or written.
std::vector<std::string> PrivateHomeEnvironment(const std::string& home, const std::string& display);

// utime + stime of a process still running, in seconds, from /proc/<pid>/stat; -1 when unreadable.
double ProcessCpuSeconds(pid_t pid);
// Monotonic seconds, the clock every wait here is measured on.
double NowSeconds();
void SleepSeconds(double seconds);
// The 1-, 5- and 15-minute load averages, for printing beside the figures of a shared machine.
std::string LoadAverage();
