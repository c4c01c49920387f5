// Plays a long playlist of short generated clips at four times normal speed through the real program for half
// an hour (or the minutes given), driven over the desktop's media-player bus as a panel widget would, and
// judges what a long session must not show: memory that keeps growing, a window that stops answering or a
// picture that stands still, an entry never opened, a settings file left unreadable after quitting.
#include "bench/engine/BenchPaths.h"
#include "bench/engine/BenchReport.h"
#include "bench/engine/ChildProcess.h"
#include "bench/program/ProcessControl.h"
#include "bench/program/VirtualDisplay.h"
#include "tests/PrivateBus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QSet>
#include <QSettings>
#include <QUrl>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr double kDefaultMinutes = 30;
constexpr int kDefaultEntries = 200;
constexpr double kRate = 4.0;
constexpr double kPollSeconds = 0.25;
constexpr double kRssEverySeconds = 5;
constexpr double kWarmUpSeconds = 300;
constexpr double kStallMs = 1000;

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.nrx_mediaplayer");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

const std::string kTitle = "soak";

// Each clip lasts so long that the entries fill the minutes at four times normal speed, with half a second
// for opening each.
int ClipSeconds(double minutes, int entries) {
    return std::max(4, static_cast<int>(kRate * (minutes * 60 / entries - 0.5)));
}

// The entries are hard links to a few clips (three picture sizes, one of them not a multiple of 16 wide),
// so two hundred distinct files cost the disk three clips.
std::vector<std::string> MakePlaylist(const fs::path& dir, int entries,
                                      const std::vector<std::string>& clips) {
    std::vector<std::string> playlist;
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (int i = 0; i < entries; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "entry-%03d.mp4", i + 1);
        const fs::path entry = dir / name;
        fs::remove(entry, ec);
        fs::create_hard_link(clips[i % clips.size()], entry, ec);
        if (ec) fs::copy_file(clips[i % clips.size()], entry, ec);
        if (ec) return {};
        playlist.push_back(fs::canonical(entry).string());
    }
    return playlist;
}

// What one poll of the player's bus interface found, and how long the window took to answer it.
struct Poll {
    bool answered = false;
    double answerMs = 0;
    QString status;
    double rate = 1;
    QString url;
};

class Remote {
public:
    explicit Remote(QDBusConnection bus) : bus_(std::move(bus)) {}

    Poll Read() const {
        Poll poll;
        QDBusMessage getAll =
            QDBusMessage::createMethodCall(kService, kPath, kProperties, QStringLiteral("GetAll"));
        getAll << kPlayer;
        const double start = NowSeconds();
        const QDBusMessage reply = bus_.call(getAll, QDBus::Block, 10000);
        poll.answerMs = (NowSeconds() - start) * 1000;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return poll;
        const QVariantMap values = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
        poll.answered = true;
        poll.status = values.value(QStringLiteral("PlaybackStatus")).toString();
        poll.rate = values.value(QStringLiteral("Rate")).toDouble();
        const QVariantMap metadata = qdbus_cast<QVariantMap>(values.value(QStringLiteral("Metadata")));
        poll.url = metadata.value(QStringLiteral("xesam:url")).toString();
        return poll;
    }
    void Call(const QString& interface, const char* method) const {
        bus_.call(QDBusMessage::createMethodCall(kService, kPath, interface, QString::fromLatin1(method)),
                  QDBus::Block, 10000);
    }
    void SetRate(double rate) const {
        QDBusMessage set =
            QDBusMessage::createMethodCall(kService, kPath, kProperties, QStringLiteral("Set"));
        set << kPlayer << QStringLiteral("Rate") << QVariant::fromValue(QDBusVariant(rate));
        bus_.call(set, QDBus::Block, 10000);
    }

private:
    QDBusConnection bus_;
};

// The longest waits between two new pictures in the view's paint trace: within one entry, and across a change
// of entry (the frame number starts again), which includes opening the next file.
struct PictureGaps {
    double withinMs = 0;
    double acrossMs = 0;
};

PictureGaps LongestPictureGaps(const std::string& paintTrace) {
    std::ifstream file(paintTrace);
    std::string line;
    std::getline(file, line); // header
    PictureGaps gaps;
    double previousAt = -1;
    long long previousFrame = -1;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string wall, frame, isNew;
        if (!std::getline(fields, wall, ',') || !std::getline(fields, frame, ',') || !std::getline(fields, isNew, ','))
            continue;
        if (isNew != "1") continue;
        const double at = std::atof(wall.c_str());
        const long long number = std::atoll(frame.c_str());
        if (previousAt >= 0) {
            double& longest = number > previousFrame ? gaps.withinMs : gaps.acrossMs;
            longest = std::max(longest, at - previousAt);
        }
        previousAt = at;
        previousFrame = number;
    }
    return gaps;
}

struct Soak {
    std::vector<std::pair<double, long>> rss; // seconds since start, KiB
    double longestAnswerMs = 0;
    int unanswered = 0; // after the player first answered, or slower than a stall
    QSet<QString> opened;
    double cpuSeconds = 0;
    double seconds = 0;
    bool finished = false; // the last entry played to its end
};

// Keeps the player playing at the soak's rate until the playlist has played through or the time is up. A
// freshly opened entry starts at normal speed (and, after a faster one, waits for Play), as a user would see.
Soak Drive(const Remote& remote, pid_t pid, const QString& lastUrl, double limitSeconds) {
    Soak soak;
    const double start = NowSeconds();
    double nextRss = 0;
    bool lastPlaying = false, everAnswered = false;
    while (NowSeconds() - start < limitSeconds) {
        const double now = NowSeconds() - start;
        if (now >= nextRss) {
            soak.rss.emplace_back(now, CurrentRssKb(pid));
            nextRss += kRssEverySeconds;
        }
        const Poll poll = remote.Read();
        if (!poll.answered) {
            if (kill(pid, 0) != 0) break; // gone: reported by the caller
            // Until the player has put itself on the bus the daemon answers for it that nobody is there.
            if (everAnswered || poll.answerMs >= kStallMs) {
                ++soak.unanswered;
                soak.longestAnswerMs = std::max(soak.longestAnswerMs, poll.answerMs);
            }
        } else {
            everAnswered = true;
            soak.longestAnswerMs = std::max(soak.longestAnswerMs, poll.answerMs);
            if (!poll.url.isEmpty()) soak.opened.insert(poll.url);
            if (poll.url == lastUrl) {
                // The last entry, once it has played, stops at its end.
                if (poll.status == QLatin1String("Playing")) lastPlaying = true;
                if (poll.status == QLatin1String("Stopped") && lastPlaying) {
                    soak.finished = true;
                    break;
                }
            }
            if (poll.status != QLatin1String("Playing"))
                remote.Call(kPlayer, "Play");
            else if (poll.rate != kRate)
                remote.SetRate(kRate);
        }
        SleepSeconds(kPollSeconds);
    }
    soak.seconds = NowSeconds() - start;
    soak.cpuSeconds = ProcessCpuSeconds(pid);
    return soak;
}

// Peak resident memory after the warm-up against the figure at its end.
void ReportMemory(const Soak& soak) {
    const double warmUp = std::min(kWarmUpSeconds, soak.seconds / 6);
    long atWarmUp = -1, peak = 0;
    for (const auto& [at, kib] : soak.rss) {
        if (at < warmUp) continue;
        if (atWarmUp < 0) atWarmUp = kib;
        peak = std::max(peak, kib);
    }
    if (atWarmUp <= 0) {
        PrintNotMeasured(kTitle + " resident memory", "no sample after the warm-up");
        return;
    }
    char anchor[64];
    std::snprintf(anchor, sizeof anchor, "at %.0f s", warmUp);
    PrintFigure({kTitle + " peak resident memory after the warm-up", peak / 1024.0, "MiB", anchor,
                 atWarmUp / 1024.0, Target::RatioAtMost(1.10)});
}

bool SettingsReadable(const fs::path& config, const std::string& lastEntry, std::string& why) {
    const fs::path file = config / "NRX ProductGroup" / "NRX MediaPlayer.conf";
    if (!fs::exists(file)) {
        why = "no settings file";
        return false;
    }
    QSettings settings(QString::fromStdString(file.string()), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        why = "the settings file does not parse";
        return false;
    }
    // The last file played ends the recent list (oldest first, at most five): the file is not only readable
    // but the one just written.
    QString newest;
    for (int i = 1; i <= 5; ++i) {
        const QString entry = settings.value(QStringLiteral("Params/RecentList/File%1").arg(i)).toString();
        if (!entry.isEmpty()) newest = entry;
    }
    if (newest != QString::fromStdString(lastEntry)) {
        why = "the newest recent file is \"" + newest.toStdString() + "\"";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Minutes and entries may be given for a shorter look; the figures are judged at 30 and 200.
    const double minutes = argc > 1 && std::atof(argv[1]) > 0 ? std::atof(argv[1]) : kDefaultMinutes;
    const int entries = argc > 2 && std::atoi(argv[2]) > 1 ? std::atoi(argv[2]) : kDefaultEntries;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    EndChildrenOnSignal();

    const int clipSeconds = ClipSeconds(minutes, entries);
    std::vector<std::string> clips;
    for (const BenchClip& clip : {BenchClip{320, 180, 25, clipSeconds}, BenchClip{426, 240, 25, clipSeconds},
                                  BenchClip{640, 360, 30, clipSeconds}}) {
        clips.push_back(EnsureClip(clip));
        if (clips.back().empty()) return PrintNotMeasured(kTitle, "a clip could not be generated");
    }
    std::error_code ec;
    const fs::path work = fs::temp_directory_path() / ("nrx-bench-soak-" + std::to_string(getpid()));
    const std::vector<std::string> playlist = MakePlaylist(work / "media", entries, clips);
    if (playlist.empty())
        return PrintNotMeasured(kTitle, "the playlist could not be made in " + work.string());

    VirtualDisplay x;
    std::string error;
    if (!x.Start(error)) return PrintNotMeasured(kTitle, error);
    PrivateBus bus;
    if (!bus.Ok()) return PrintNotMeasured(kTitle, "no dbus-daemon to start a private session bus");
    std::printf("%s: %d entries of %d s at %.0fx, for up to %.0f minutes; load average before %s\n",
                kTitle.c_str(), entries, clipSeconds, kRate, minutes, LoadAverage().c_str());

    const fs::path home = work / "home", config = home / ".config";
    const std::string paintTrace = (work / "paint.csv").string();
    std::vector<std::string> env = PrivateHomeEnvironment(home.string(), x.Name());
    env.insert(env.end(),
               {"NRX_PAINT_TRACE=" + paintTrace, "DBUS_SESSION_BUS_ADDRESS=" + bus.Address().toStdString()});
    Launch launch{{PlayerPath()}, env, (work / "output.txt").string()};
    launch.args.insert(launch.args.end(), playlist.begin(), playlist.end());
    RunningProcess player;
    if (!player.Start(launch)) return PrintNotMeasured(kTitle, "the player could not be started");

    const Remote remote(bus.Connect(QStringLiteral("soak")));
    const QString lastUrl = QUrl::fromLocalFile(QString::fromStdString(playlist.back())).toString();
    // A quarter more than planned, for slow opens; a run that needs more has stalled somewhere.
    const Soak soak = Drive(remote, player.Pid(), lastUrl, minutes * 60 * 1.25 + 60);
    const double xCpu = x.CpuSeconds();

    remote.Call(QStringLiteral("org.mpris.MediaPlayer2"), "Quit");
    Finished finished;
    const bool quit = player.WaitExit(30, finished);
    if (!quit) finished = player.Stop();

    std::printf("%s: played %.0f s, %s; player CPU %.0f s (%.0f %% of one core), X server %.0f s\n",
                kTitle.c_str(), soak.seconds,
                soak.finished ? "the playlist played through" : "the time ran out first", soak.cpuSeconds,
                100 * soak.cpuSeconds / std::max(1.0, soak.seconds), xCpu);
    ReportMemory(soak);
    PrintFigure({kTitle + " longest answer to the media controls", soak.longestAnswerMs, "ms", "stall limit",
                 kStallMs, Target::ValueAtMost(kStallMs)});
    if (soak.unanswered > 0)
        std::printf("%s: %d polls went unanswered (an error or no reply within 10 s)\n", kTitle.c_str(),
                    soak.unanswered);
    const PictureGaps gaps = LongestPictureGaps(paintTrace);
    PrintFigure({kTitle + " longest wait for a new picture within an entry", gaps.withinMs, "ms", "stall limit",
                 kStallMs, Target::ValueAtMost(kStallMs)});
    // Includes the driver's own reaction: a fresh entry after a faster one waits for Play, sent at the next poll.
    PrintFigure({kTitle + " longest wait for the next entry's first picture", gaps.acrossMs, "ms", "stall limit",
                 kStallMs, Target::ValueAtMost(kStallMs)});
    PrintFigure({kTitle + " entries opened", static_cast<double>(soak.opened.size()), "entries", "playlist",
                 static_cast<double>(entries), Target::RatioAtLeast(1.0)});
    std::string why;
    const bool settingsOk = quit && finished.exitCode == 0 && SettingsReadable(config, playlist.back(), why);
    if (!quit || finished.exitCode != 0)
        why = "the player did not quit cleanly (status " + std::to_string(finished.exitCode) + ")";
    PrintFigure({kTitle + " settings file readable and current after quitting", settingsOk ? 1.0 : 0.0, "",
                 "yes", 1.0, Target::RatioAtLeast(1.0)});
    if (!settingsOk) std::printf("%s: %s (see %s)\n", kTitle.c_str(), why.c_str(), launch.outputFile.c_str());

    if (std::getenv("NRX_BENCH_KEEP"))
        std::fprintf(stderr, "traces and outputs kept in %s\n", work.c_str());
    else
        fs::remove_all(work, ec);
    return 0;
}
