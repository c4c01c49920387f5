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

bool IsRed(QRgb c);
bool IsGreen(QRgb c);
bool IsBlue(QRgb c);
bool IsYellow(QRgb c);
bool IsBlack(QRgb c);
// The orientation clip shown upright: red in the top half, blue in the bottom half.
bool RedOverBlue(const QImage& shot);

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
