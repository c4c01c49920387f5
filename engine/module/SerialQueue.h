// A bounded, blocking queue whose items carry the seek generation (serial) they belong to.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace nrx {

// Flush(serial) empties the queue and starts a new generation; pushes of an older generation are
// refused from then on, so data decoded before a seek can never reach the consumer after it.
template <typename T>
class SerialQueue {
public:
    struct Item {
        T value;
        int serial = 0;
        std::size_t weight = 1;
    };

    explicit SerialQueue(std::size_t maxItems, std::size_t maxWeight = ~std::size_t{0})
        : maxItems(maxItems), maxWeight(maxWeight) {}

    // Blocks while full. False (value dropped) when aborted or when serial is stale.
    bool Push(T value, int serial, std::size_t weight = 1) {
        std::unique_lock lock(mutex);
        while (!aborted && serial == current && !items.empty() &&
               (items.size() >= maxItems || totalWeight + weight > maxWeight))
            changed.wait(lock);
        if (aborted || serial != current) return false;
        totalWeight += weight;
        items.push_back(Item{std::move(value), serial, weight});
        changed.notify_all();
        return true;
    }

    // Waits up to `timeout` for an item; nullopt on time-out or abort.
    std::optional<Item> Pop(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex);
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (!aborted && items.empty())
            if (changed.wait_until(lock, until) == std::cv_status::timeout) break;
        if (aborted || items.empty()) return std::nullopt;
        Item item = std::move(items.front());
        items.pop_front();
        totalWeight -= item.weight;
        changed.notify_all();
        return item;
    }

    // Runs f(head, second) under the lock; either may be null. Lets the consumer look before taking.
    template <typename F>
    auto Peek(F&& f) {
        std::lock_guard lock(mutex);
        const Item* a = items.size() > 0 ? &items[0] : nullptr;
        const Item* b = items.size() > 1 ? &items[1] : nullptr;
        return f(a, b);
    }

    // Waits until the queue holds at least `count` items, is full, or the time-out passes.
    void WaitFor(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex);
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (!aborted && items.size() < count && items.size() < maxItems)
            if (changed.wait_until(lock, until) == std::cv_status::timeout) break;
    }

    void Flush(int newSerial) {
        std::lock_guard lock(mutex);
        items.clear();
        totalWeight = 0;
        current = newSerial;
        changed.notify_all();
    }
    void SetMaxWeight(std::size_t weight) {
        std::lock_guard lock(mutex);
        maxWeight = weight;
    }
    void Abort() {
        std::lock_guard lock(mutex);
        aborted = true;
        changed.notify_all();
    }
    std::size_t Size() {
        std::lock_guard lock(mutex);
        return items.size();
    }
    int Serial() {
        std::lock_guard lock(mutex);
        return current;
    }

private:
    const std::size_t maxItems;
    std::size_t maxWeight;
    std::mutex mutex; // guards items, totalWeight, maxWeight, current, aborted
    std::condition_variable changed;
    std::deque<Item> items;
    std::size_t totalWeight = 0;
    int current = 0;
    bool aborted = false;
};

} // namespace nrx
