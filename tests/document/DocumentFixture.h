// A whole player in one test process: the real frame, view and document on the real engine module.
#pragma once

#include "document/MediaPlayerDoc.h"
#include "frame/MainFrame.h"
#include "resources/CommandIds.h"
#include "tests/TestSupport.h"
#include "view/MediaPlayerView.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class CVideoEngine;

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the files as the Open File(s) dialog would hand them over and waits until the first plays.
    void OpenFiles(const QStringList& files);
    // Runs a command as a key press does, then lets what it posted (a Next or Previous move) happen.
    void Press(int id);
    // The status text the renderer shows now.
    QString StatusText() const;
    CVideoEngine& Engine() const;
    PlayState GetPlayState() const { return doc->GetPlayState(); }

    std::unique_ptr<CMainFrame> frame;
    CMediaPlayerView* view = nullptr;     // owned by the frame
    std::unique_ptr<CMediaPlayerDoc> doc;
    PromptRecorder recorder;
    QStringList& prompts = recorder.texts; // every message box shown, answered Ok
    QStringList dialogAnswer;             // what the Open File(s) dialog returns
    QString folderAnswer;                 // what the Open Folder dialog returns
    QTemporaryDir temp;
};
