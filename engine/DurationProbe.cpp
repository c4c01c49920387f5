#include "engine/DurationProbe.h"

#include "engine/EngineModule.h"

#include <QCoreApplication>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {
// Workers outlive their probes by the file they are opening. Before the application's objects go away
// these few milliseconds are waited for, so no worker is still inside the component when the process
// tears down. Allocated once and never freed: it must outlive every worker, whatever the exit order.
struct Outstanding {
    std::mutex guard; // guards running
    std::condition_variable idle;
    int running = 0;
};

Outstanding& Workers() {
    static auto* workers = new Outstanding;
    return *workers;
}

void WaitForWorkers() {
    Outstanding& workers = Workers();
    std::unique_lock lock(workers.guard);
    // Bounded: a file that hangs its open must not hang the program's exit as well.
    workers.idle.wait_for(lock, std::chrono::seconds(3), [&] { return workers.running == 0; });
}

// Probing competes with playback for the same cores; the decoder threads the component starts for a
// probe inherit this thread's priority.
void LowerThisThreadsPriority() {
#ifdef __linux__
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#elif defined(_WIN32)
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#endif
}
} // namespace

struct CDurationProbe::Shared {
    std::shared_ptr<CEngineModule> module;
    std::mutex guard; // guards every field below
    std::condition_variable wake;
    std::deque<QString> queue;           // waiting, in the order wanted
    QString probing;                     // the file the worker has taken; empty when none
    QHash<QString, qint64> found;        // results not yet delivered
    CDurationProbe* receiver = nullptr;  // null once the probe is gone: nothing more is posted to it
    bool deliveryPosted = false;
    bool unavailable = false;            // no device object could be made: nothing will ever be probed
    bool stop = false;
};

CDurationProbe::CDurationProbe(std::shared_ptr<CEngineModule> module, QObject* parent)
    : QObject(parent), shared(std::make_shared<Shared>()) {
    shared->module = std::move(module);
    shared->receiver = this;
}

CDurationProbe::~CDurationProbe() {
    {
        std::lock_guard lock(shared->guard);
        shared->stop = true;
        shared->receiver = nullptr;
        shared->queue.clear();
    }
    shared->wake.notify_all();
}

void CDurationProbe::Want(const QStringList& paths) {
    bool any = false;
    {
        std::lock_guard lock(shared->guard);
        if (shared->unavailable || !shared->module) return;
        // What was waiting and is not wanted any more may be wanted again later.
        for (const QString& waiting : shared->queue) asked.remove(waiting);
        shared->queue.clear();
        for (const QString& path : paths) {
            if (path.isEmpty() || asked.contains(path)) continue;
            asked.insert(path);
            shared->queue.push_back(path);
        }
        any = !shared->queue.empty();
    }
    if (!any) return;
    shared->wake.notify_all();
    if (!started) StartWorker();
}

int CDurationProbe::Pending() const {
    std::lock_guard lock(shared->guard);
    return static_cast<int>(shared->queue.size()) + (shared->probing.isEmpty() ? 0 : 1) +
           static_cast<int>(shared->found.size());
}

void CDurationProbe::StartWorker() {
    started = true;
    static std::once_flag registered;
    std::call_once(registered, [] { qAddPostRoutine(WaitForWorkers); });
    {
        std::lock_guard lock(Workers().guard);
        ++Workers().running;
    }
    std::thread(Work, shared).detach();
}

void CDurationProbe::Deliver() {
    QHash<QString, qint64> batch;
    {
        std::lock_guard lock(shared->guard);
        batch.swap(shared->found);
        shared->deliveryPosted = false;
    }
    if (!batch.isEmpty()) emit durationsFound(batch);
}

void CDurationProbe::Work(std::shared_ptr<Shared> shared) {
    LowerThisThreadsPriority();
    IVideoDevice* device = nullptr;
    for (;;) {
        QString path;
        {
            std::unique_lock lock(shared->guard);
            shared->wake.wait(lock, [&] { return shared->stop || !shared->queue.empty(); });
            if (shared->stop) break;
            path = shared->queue.front();
            shared->queue.pop_front();
            shared->probing = path;
        }
        // Made on first use, here: the device is this thread's alone.
        if (!device && FAILED(shared->module->CreateInstance(CLSID_VideoDevice, IID_IVideoDevice,
                                                             reinterpret_cast<void**>(&device)))) {
            device = nullptr;
            std::lock_guard lock(shared->guard);
            shared->unavailable = true;
            shared->queue.clear();
            shared->probing.clear();
            break;
        }
        qint64 seconds = 0;
        if (SUCCEEDED(device->Open(0, path.toUtf8().constData()))) {
            std::int64_t duration = 0;
            if (SUCCEEDED(device->GetDuration(0, &duration)) && duration > 0) seconds = duration;
            device->Close(0);
        }
        std::lock_guard lock(shared->guard);
        shared->probing.clear();
        if (shared->stop) break;
        shared->found.insert(path, seconds);
        if (!std::exchange(shared->deliveryPosted, true)) {
            // Posted under the lock: the probe cannot be destroyed between the check and the post.
            CDurationProbe* receiver = shared->receiver;
            QMetaObject::invokeMethod(receiver, [receiver] { receiver->Deliver(); }, Qt::QueuedConnection);
        }
    }
    if (device) device->Release();
    Outstanding& workers = Workers();
    std::lock_guard lock(workers.guard);
    --workers.running;
    workers.idle.notify_all();
}
