#include "app/Affinity.h"

#include <dirent.h>
#include <sched.h>
#include <string>
#include <unistd.h>

std::vector<int> ProcessorsInMask(std::uint32_t mask, int processorCount) {
    std::vector<int> processors;
    for (int cpu = 0; cpu < 32 && cpu < processorCount; ++cpu)
        if (mask & (1u << cpu)) processors.push_back(cpu);
    return processors;
}

bool ApplyAffinityMask(std::uint32_t mask) {
    const auto processors = ProcessorsInMask(mask, static_cast<int>(sysconf(_SC_NPROCESSORS_CONF)));
    if (processors.empty()) return false;
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int cpu : processors) CPU_SET(cpu, &set);
    // Linux keeps affinity per thread; threads that already exist (Qt's helpers) are set one by one so the
    // whole process follows the mask, as a process-wide mask would.
    bool applied = false;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks)) {
            if (entry->d_name[0] == '.') continue;
            const pid_t tid = static_cast<pid_t>(std::stol(entry->d_name));
            if (sched_setaffinity(tid, sizeof(set), &set) == 0 && tid == gettid()) applied = true;
        }
        closedir(tasks);
    }
    if (!applied) applied = sched_setaffinity(0, sizeof(set), &set) == 0;
    return applied;
}
