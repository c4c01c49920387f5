// Memory followed by an inaccessible page: a block placed at its end faults on the first byte read or written
// past it, where a sanitizer cannot look (inside libswscale) or a stray read would go unseen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

class GuardedBytes {
public:
    explicit GuardedBytes(std::size_t bytes) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        usable = (bytes + page - 1) / page * page;
        total = usable + page;
        void* p = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base = p == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(p);
        if (base) mprotect(base + usable, page, PROT_NONE);
    }
    ~GuardedBytes() {
        if (base) munmap(base, total);
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    // The start of a block of `bytes` that ends right at the guard page (null when nothing could be mapped).
    std::uint8_t* EndingAtGuard(std::size_t bytes) const { return base ? base + usable - bytes : nullptr; }

private:
    std::uint8_t* base = nullptr;
    std::size_t usable = 0, total = 0;
};
