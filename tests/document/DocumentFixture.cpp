// The player assembly shared by the document tests.
#include "tests/document/DocumentFixture.h"

#include "app/DocumentConnections.h"
#include "document/RedadIzivad.h"
#include "frame/MainFrame.h"
#include "render/VideoRender.h"
#include "settings/ProgramParams.h"
#include "view/MediaPlayerView.h"

#include <QCoreApplication>
#include <QTest>

void DocumentTest::SetUp() {
    ASSERT_TRUE(temp.isValid());
    Params.recentFiles.clear();
    Params.StartInSrcSize = false;
    Params.OnTopStatus = 0;
    Params.Brightness = Params.Contrast = Params.Saturation = 0;
    Params.LastFolderPath = temp.path();
    CRedadIzivad::SetFileDialogHook([this](QWidget*, const QString&, const QString&) { return dialogAnswer; });
    CMediaPlayerDoc::SetFolderDialogHook([this](QWidget*, const QString&) { return folderAnswer; });

    doc = std::make_unique<CMediaPlayerDoc>();
    frame = std::make_unique<CMainFrame>();
    view = new CMediaPlayerView(frame.get());
    frame->SetCentralView(view);
    ConnectDocument(*doc, *frame, *view);
    frame->setGeometry(100, 100, 960, 540);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    // The view's first update initialises the document, as the application starts it.
    view->OnInitialUpdate();
    ASSERT_TRUE(doc->IsPlayerReady()) << prompts.join(QLatin1Char('|')).toStdString();
    ASSERT_NE(view->Renderer(), nullptr);
}

void DocumentTest::TearDown() {
    if (doc) doc->ShutdownDocument();
    frame.reset();
    doc.reset();
    CRedadIzivad::SetFileDialogHook({});
    CMediaPlayerDoc::SetFolderDialogHook({});
}

void DocumentTest::OpenFiles(const QStringList& files) {
    dialogAnswer = files;
    ASSERT_TRUE(doc->OnCommand(ID_OPEN_FILES));
    ASSERT_TRUE(WaitFor([this] { return GetPlayState() == PlayState::Playing; })) << "the first file never started playing";
}

void DocumentTest::Press(int id) {
    doc->OnCommand(id);
    QCoreApplication::sendPostedEvents(doc.get());
}

QString DocumentTest::StatusText() const {
    CVideoRender* renderer = CMediaPlayerView::Instance()->Renderer();
    return renderer ? renderer->osdText : QString();
}

CVideoEngine& DocumentTest::Engine() const { return *doc->Player()->engine; }
