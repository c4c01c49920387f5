// A private X server (Xvfb, 1920x1080x24) for one benchmark run, so its CPU time can be read between runs.
#pragma once

#include <string>
#include <sys/types.h>

class VirtualDisplay {
public:
    VirtualDisplay() = default;
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // Starts Xvfb on a display number it picks itself; false with error set when it does not come up.
    bool Start(std::string& error);
    // ":N", the value for DISPLAY.
    const std::string& Name() const { return name_; }
    // CPU seconds the server has used so far.
    double CpuSeconds() const;
    // Moves the pointer to a screen position as a user's mouse would (clients see the motion); false when
    // the server cannot be reached.
    bool MovePointer(int x, int y);

private:
    pid_t pid_ = 0;
    std::string name_;
    struct _XDisplay* connection_ = nullptr; // opened on the first pointer move
};
