// Runs a reference tool (or this program again) as a child process and measures it from outside:
// wall time and peak resident memory, the way the anchors of every benchmark are taken.
#pragma once

#include <string>
#include <vector>

enum class OutputMode {
    Inherit, // the child writes to our stdout/stderr
    Silent,  // both go to /dev/null
};

struct ProcessResult {
    bool started = false;
    int exitCode = -1; // -1 when killed by a signal or never started
    double wallMs = 0;
    long peakRssKb = 0;

    bool Succeeded() const { return started && exitCode == 0; }
};

// Our environment with extra "NAME=value" entries added or replacing ours.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra);
// argv/envp form of strings (pointers into them, null-terminated); strings must outlive the result.
std::vector<char*> Pointers(std::vector<std::string>& strings);

// Runs args[0] (searched on PATH) with the remaining arguments; extraEnv entries are "NAME=value" added
// to (or replacing in) our environment.
ProcessResult RunProcess(const std::vector<std::string>& args, OutputMode output,
                         const std::vector<std::string>& extraEnv = {});

// True when name is an executable on PATH.
bool ToolAvailable(const std::string& name);

// Resident set size of this process (or of process pid) now, and this one's peak so far, in kilobytes (from
// /proc/<pid>/status); 0 when unreadable.
long CurrentRssKb(int pid = 0);
long PeakRssKb();
