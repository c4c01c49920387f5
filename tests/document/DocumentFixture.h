// A whole player in one test process: the real frame, view and document on the real engine module.
#pragma once

#include "app/PromptService.h"
#include "document/MediaPlayerDoc.h"
#include "frame/MainFrame.h"
#include "resources/CommandIds.h"
#include "view/MediaPlayerView.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

class CVideoEngine;

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A generated clip of the media folder.
    static QString Clip(const char* name);
    // Opens the files as the Open File(s) dialog would hand them over and waits until the first plays.
    void OpenFiles(const QStringList& files);
    // Runs a command as a key press does, then lets what it posted (a Next or Previous move) happen.
    void Press(int id);
    // Processes events until done() or about 10 s passed; returns done().
    static bool WaitFor(const std::function<bool()>& done);
    // The status text the renderer shows now.
    QString StatusText() const;
    CVideoEngine& Engine() const;
    PlayState GetPlayState() const { return doc->GetPlayState(); }

    std::unique_ptr<CMainFrame> frame;
    CMediaPlayerView* view = nullptr;     // owned by the frame
    std::unique_ptr<CMediaPlayerDoc> doc;
    QStringList prompts;                  // every message box shown, answered Ok
    QStringList dialogAnswer;             // what the Open File(s) dialog returns
    QString folderAnswer;                 // what the Open Folder dialog returns
    QTemporaryDir temp;

private:
    CPromptService::Handler previousPrompt;
};
