// CDurationProbe: finds how long media files play, on a worker thread of its own with a device object of
// its own, so a long playlist gets its durations without the window or the playback waiting for them.
//
// The component lets several device objects live side by side, each used by one thread (VideoDevice.h);
// the probe's device opens a file (stopped, its sound output paused: nothing is heard), reads the duration
// and closes it again, one file at a time, at a lowered scheduling priority.
//
// Threads: Want, the signal and the destructor belong to the thread that made the probe (the UI thread).
// Results come back in batches through a queued call, so a thousand short files cost the UI thread a
// handful of deliveries, not a thousand. The destructor never waits for the worker: it tells it to stop
// and lets it finish the file it is opening on its own; the worker never touches the probe after that.
#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class CEngineModule;

class CDurationProbe : public QObject {
    Q_OBJECT
public:
    // module: the engine module whose device objects do the probing (the player's own).
    explicit CDurationProbe(std::shared_ptr<CEngineModule> module, QObject* parent = nullptr);
    ~CDurationProbe() override;
    CDurationProbe(const CDurationProbe&) = delete;
    CDurationProbe& operator=(const CDurationProbe&) = delete;

    // The files whose durations are wanted now, in the order to probe them. Replaces whatever is still
    // waiting; a file probed (or being probed) already is not probed again.
    void Want(const QStringList& paths);
    // Files waiting or being probed (for tests and the benchmark).
    int Pending() const;

signals:
    // Durations in whole seconds by path, for the files probed since the last batch. A file the component
    // cannot open, or one shorter than a second, is reported as 0.
    void durationsFound(const QHash<QString, qint64>& seconds);

private:
    struct Shared;
    void StartWorker();
    // Runs on the UI thread when the worker has posted results.
    void Deliver();
    static void Work(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> shared;
    QSet<QString> asked; // probed, being probed or waiting; UI thread only
    bool started = false;
};
