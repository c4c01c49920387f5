// The whole program started in-process for the program tests: a clip on the command line, settings in a
// temporary folder, every message box recorded and answered Ok; plus colour checks.
#pragma once

#include "app/MediaPlayerApp.h"
#include "document/MediaPlayerDoc.h"
#include "engine/VideoEngine.h"
#include "tests/TestSupport.h"
#include "view/MediaPlayerView.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Colour classes loose enough for decoded and scaled pictures.
inline bool IsRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; }
inline bool IsGreen(QRgb c) { return qGreen(c) > 180 && qRed(c) < 80 && qBlue(c) < 80; }
inline bool IsBlue(QRgb c) { return qBlue(c) > 180 && qRed(c) < 80 && qGreen(c) < 80; }
inline bool IsYellow(QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 90; }
inline bool IsBlack(QRgb c) { return qRed(c) < 24 && qGreen(c) < 24 && qBlue(c) < 24; }
// The orientation clip shown upright: red in the top half, blue in the bottom half.
inline bool RedOverBlue(const QImage& shot) {
    const int cx = shot.width() / 2;
    return IsRed(shot.pixel(cx, shot.height() / 4)) && IsBlue(shot.pixel(cx, shot.height() * 3 / 4));
}

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

    PromptRecorder prompts;
    QTemporaryDir settings;
    QByteArray argument;
    char program[16] = "nrx-mediaplayer";
    char* argv[3] = {program, nullptr, nullptr};
    int argc = 1;
    std::unique_ptr<CMediaPlayerApp> app;
    bool started = false;
    CMediaPlayerView* view = nullptr;
    CMediaPlayerDoc* doc = nullptr;
};

// Base of the program tests that start the program themselves.
class ProgramTest : public ::testing::Test {
protected:
    void Start(const QString& clip) {
        run = std::make_unique<ProgramRun>(clip);
        ASSERT_TRUE(run->started);
        view = run->view;
        doc = run->doc;
    }

    std::unique_ptr<ProgramRun> run;
    CMediaPlayerView* view = nullptr;
    CMediaPlayerDoc* doc = nullptr;
};
