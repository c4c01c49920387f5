#include "view/MediaPlayerView.h"

#include "app/PromptService.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "frame/MainFrame.h"
#include "panels/VideoControl.h"
#include "render/VideoRenderGdi.h"
#include "render/VideoRenderOpenGL.h"
#include "resources/CommandIds.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"
#include "skins/SkinImage.h"
#include "view/CursorAutoHide.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace {
CMediaPlayerView* theView = nullptr;

// The status-text position the renderers were designed around.
constexpr float kOsdX = 5.0f;
constexpr float kOsdY = 50.0f;
constexpr int kTimerMs = 100;
constexpr int kLinkBandHeight = 30;

CVideoEngine* Engine() { return ThePlayer ? ThePlayer->engine.get() : nullptr; }

// NRX_RENDERER=gdi starts with the GDI+ renderer instead of OpenGL: a diagnostic switch for measuring
// both renderers from outside without going through the menu.
RendererKind InitialRenderer() {
    return qgetenv("NRX_RENDERER").toLower() == "gdi" ? RendererKind::Gdi : RendererKind::OpenGL;
}
} // namespace

CMediaPlayerView::CMediaPlayerView(QWidget* parent) : QWidget(parent) {
    theView = this;
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    cursorHider_ = new CViewCursorHider(this);

    webLink_ = new QLabel(this);
    webLink_->setTextFormat(Qt::RichText);
    webLink_->setAlignment(Qt::AlignCenter);
    webLink_->setOpenExternalLinks(false);
    webLink_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    // The label's own link menu would stand in for the player's; the view gets the right button instead.
    webLink_->setContextMenuPolicy(Qt::NoContextMenu);
    QFont font(QStringLiteral("Viner Hand ITC"));
    font.setPixelSize(24);
    font.setStyleHint(QFont::Cursive);
    webLink_->setFont(font);
    connect(webLink_, &QLabel::linkActivated, this, [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
    webLink_->hide();

    timer_ = new QTimer(this);
    timer_->setInterval(kTimerMs);
    connect(timer_, &QTimer::timeout, this, &CMediaPlayerView::OnTimerTick);
}

CMediaPlayerView::~CMediaPlayerView() {
    timer_->stop();
    // The surface calls back into this object while painting, so it goes before anything else.
    if (renderer_) renderer_->Destroy();
    renderer_.reset();
    if (ThePlayer) ThePlayer->Stop();
    if (auto* doc = CMediaPlayerDoc::Instance()) doc->ShutdownDocument();
    if (theView == this) theView = nullptr;
}

CMediaPlayerView* CMediaPlayerView::Instance() { return theView; }

void CMediaPlayerView::OnInitialUpdate() {
    CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    if (doc) {
        doc->view.reset(this);
        doc->InitDocument();
    }
    if (ThePlayer) {
        // Queued: the notice comes from the playback thread.
        connect(&ThePlayer->notifier, &CPlayerNotifier::frameReady, this, &CMediaPlayerView::OnFrameReady,
                Qt::QueuedConnection);
    }
    CreateRenderer(InitialRenderer());
    LoadLogo();

    const QString site = Params.webSiteAddress;
    webLink_->setText(QStringLiteral("<a href=\"%1\" style=\"color:#ff0000;text-decoration:none\">%2</a>")
                          .arg(site.toHtmlEscaped(), site.toHtmlEscaped()));
    PlaceWebLink();

    if (doc) doc->OpenCommandLineFiles();

    // The bars came with the document after the frame was shown; dock them now rather than at the first resize.
    if (doc) doc->LayoutPanels(false);
    timer_->start();
}

void CMediaPlayerView::CreateRenderer(RendererKind kind) {
    if (renderer_) renderer_->Destroy();
    renderer_.reset();
    rendererKind_ = RendererKind::None;
    // No OpenGL on this display (no context, or no GL integration at all): without a surface nothing would
    // paint, not even the logo. The software renderer works everywhere.
    if (kind != RendererKind::None && !MakeRenderer(kind) && kind == RendererKind::OpenGL &&
        MakeRenderer(RendererKind::Gdi))
        FallBackToSoftware();
    // The menu's check marks follow the renderer that really draws.
    if (auto* doc = CMediaPlayerDoc::Instance()) doc->SetRendererKind(rendererKind_);
}

bool CMediaPlayerView::MakeRenderer(RendererKind kind) {
    if (kind == RendererKind::Gdi)
        renderer_ = std::make_unique<CVideoRenderGdi>();
    else
        renderer_ = std::make_unique<CVideoRenderOpenGL>();
    renderer_->window = this;
    renderer_->osdX = kOsdX;
    renderer_->osdY = kOsdY;
    if (!Params.FontName.isEmpty()) renderer_->fontName = Params.FontName;
    clientRect_ = QRect();
    // The playback thread starts the pictures once the window shows (see CRedadIzivad::ThreadProc).
    renderer_->onPresented = [] {
        if (ThePlayer) ThePlayer->FramePresented();
    };
    if (!renderer_->Create(this, [this](QPainter& dc) { PaintSurface(dc); })) {
        renderer_->Destroy();
        renderer_.reset();
        return false;
    }
    rendererKind_ = kind;
    webLink_->raise();
    return true;
}

void CMediaPlayerView::FallBackToSoftware() {
    qWarning("OpenGL is not available on this display; drawing with the DGI Plus renderer instead");
    if (std::exchange(toldFallback_, true)) return;
    // The software renderer shows no status text, so a message says it; posted, so that the window is up
    // (and the initial update finished) before a modal box appears.
    QTimer::singleShot(0, this, [] {
        try {
            CPromptService::Show(QStringLiteral("OpenGL is not available on this display.\n"
                                                "The video is drawn with DGI Plus for this session."),
                                 PromptIcon::Warning);
        } catch (...) {
            // Nothing may leave a handler of the event loop; the picture is there either way.
        }
    });
}

void CMediaPlayerView::ApplyFrameFormat() {
    CVideoEngine* engine = Engine();
    if (!renderer_ || !renderer_->ready || !engine) return;
    CFrameView frame = engine->LockFrame();
    if (!frame.HasFormat()) return;
    const BITMAPINFOHEADER header = frame.Header();
    const QSize size = frame.Size();
    frame.Release(); // only the format is needed, and the renderer may take a while to set it up
    renderer_->SetFrameFormat(&header, size);
    FitToClient(size);
    // Zoom and pan are the document's; it resets them with every open and renderer change.
    // The renderers honour the header's row order themselves.
    engine->SetFlip(false);
    Invalidate();
}

void CMediaPlayerView::ShowStatusText(const QString& text) {
    if (!renderer_) return;
    renderer_->SetOsdText(text);
    // The text must show while paused too, when no new frame would repaint.
    Invalidate();
}

void CMediaPlayerView::SetZoomPan(float zoom, float panX, float panY) {
    if (!renderer_) return;
    renderer_->zoom = zoom;
    renderer_->panX = panX;
    renderer_->panY = panY;
}

void CMediaPlayerView::Invalidate() {
    QWidget* surface = renderer_ ? renderer_->GetDC() : nullptr;
    if (surface)
        surface->update();
    else
        update();
}

bool CMediaPlayerView::FileOpen() const {
    CVideoEngine* engine = Engine();
    return engine && engine->IsOpened();
}

void CMediaPlayerView::OnFrameReady(qint64) {
    if (!ThePlayer) return;
    // Taken before painting: a picture handed over from now on asks again, so none is left unshown.
    ThePlayer->FramePainted();
    Invalidate();
    if (CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance(); doc && doc->videoControl)
        doc->videoControl->UpdateFromEngine(false);
}

void CMediaPlayerView::OnTimerTick() {
    CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    if (doc) doc->UpdatePanelVisibility();
    CVideoEngine* engine = Engine();
    const bool active = !frameMovingOrSizing_ && engine && engine->IsOpened() && engine->GetPlayState() != PlayState::Stopped;
    cursorHider_->Tick(active);
}

void CMediaPlayerView::CheckLayout() {
    if (!renderer_ || rect() == clientRect_) return;
    CVideoEngine* engine = Engine();
    FitToClient(engine ? engine->FrameSize() : QSize());
    PlaceWebLink();
}

void CMediaPlayerView::FitToClient(QSize frame) {
    QRect client = rect();
    clientRect_ = client;
    if (!frame.isEmpty()) renderer_->destRect = FitFrame(frame.width(), frame.height(), client.width(), client.height());
    renderer_->Resize(client);
}

void CMediaPlayerView::PaintSurface(QPainter& dc) {
    CheckLayout();
    CVideoEngine* engine = Engine();
    // A file of sound only has no picture to show: the logo screen says it is the player that plays.
    if (renderer_ && engine && engine->IsOpened() && engine->GetPlayState() != PlayState::Stopped && engine->HasPicture()) {
        if (webLink_->isVisible()) webLink_->hide();
        CFrameView frame = engine->LockFrame();
        const std::int64_t number = frame.FrameNumber();
        const std::uint64_t serial = frame.Serial();
        renderer_->Draw(dc, frame);
        frame.Release(); // a renderer drawing straight from the pixels held it to here
        // One trace line per paint of a picture; "new" the first time this picture reaches the screen.
        if (serial && paintTrace_.On())
            paintTrace_.Line(number, std::exchange(tracedSerial_, serial) != serial, renderer_->drawTimeMs);
        return;
    }
    PaintLogo(dc);
}

void CMediaPlayerView::PaintLogo(QPainter& dc) {
    if (!webLink_->isVisible()) PlaceWebLink();
    // Logical pixels throughout: on a high-density screen the painter scales, and the 2x art keeps it sharp.
    const QRect area = rect();
    dc.fillRect(area, Qt::black);
    if (!logo_.isNull()) dc.drawImage(LogoRect(), logo_.For(dc.device()->devicePixelRatioF()));
}

QRect CMediaPlayerView::LogoRect() const {
    // Centred at its own size; a window too small for it and the link band below gets it scaled down whole.
    const QRect area = rect();
    QSize size = logo_.Size();
    const QSize room(std::max(area.width() - 2 * kLinkBandHeight, 1), std::max(area.height() - 3 * kLinkBandHeight, 1));
    if (size.width() > room.width() || size.height() > room.height()) size.scale(room, Qt::KeepAspectRatio);
    return QRect(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2, size.width(),
                 size.height());
}

void CMediaPlayerView::LoadLogo() {
    const CProgramSkin* skin = CProgramSkin::Current();
    if (!skin) return;
    CSkinImage logo(skin->logoPath);
    if (!logo.isNull()) logo_ = logo;
}

void CMediaPlayerView::PlaceWebLink() {
    if (Params.webSiteAddress.isEmpty()) return;
    const QRect client = rect();
    const int top = logo_.isNull() ? client.center().y() : LogoRect().bottom() - 5;
    const int width = std::min(client.width(), webLink_->sizeHint().width());
    webLink_->setGeometry((client.width() - width) / 2, top, width, kLinkBandHeight);
    webLink_->raise();
    webLink_->show();
}
