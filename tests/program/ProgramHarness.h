// The whole program started in-process for the program tests: a clip on the command line, settings in a
// temporary folder, every message box recorded and answered Ok; plus waiting and colour checks.
#pragma once

#include "app/MediaPlayerApp.h"
#include "document/MediaPlayerDoc.h"
#include "engine/VideoEngine.h"
#include "view/MediaPlayerView.h"

#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// A generated clip from the media folder.
QString Clip(const char* name);
// Lets the event loop run until the condition holds; gives up after limitMs so a fault fails, not hangs.
bool WaitFor(const std::function<bool()>& condition, int limitMs = 15000);

bool IsRed(QRgb c);
bool IsGreen(QRgb c);
bool IsBlue(QRgb c);
bool IsYellow(QRgb c);
bool IsBlack(QRgb c);
// The orientation clip shown upright: red in the top half, blue in the bottom half.
bool RedOverBlue(const QImage& shot);

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value);
    ~ScopedEnv();

private:
    const char* name;
    bool had;
    QByteArray old;
};

class ProgramRun {
public:
    // Starts the program with the clip (none when empty); `started` says whether its window came up.
    explicit ProgramRun(const QString& clip = {});
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    CVideoEngine* Engine() const;
    // A file is open and in this play state (0 playing, 1 paused).
    bool InState(PlayState state) const;
    // Waits until the playback thread has asked for `count` more paints.
    bool Frames(int count);
    // Waits for a few frames, then pauses so the picture holds still.
    bool PauseAfterFrames();
    // Paints the video surface now, through the view's paint routine, and returns what it shows.
    QImage PaintNow() const;
    // What the display shows over the view, not a re-render.
    QImage GrabScreen() const;

    QTemporaryDir settings;
    QByteArray argument;
    char program[16] = "nrx-mediaplayer";
    char* argv[3] = {program, nullptr, nullptr};
    int argc = 1;
    std::unique_ptr<CMediaPlayerApp> app;
    bool started = false;
    CMediaPlayerView* view = nullptr;
    CMediaPlayerDoc* doc = nullptr;
    QStringList prompts;
};
