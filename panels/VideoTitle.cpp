#include "panels/VideoTitle.h"

#include "controls/CustomButton.h"
#include "document/Guarded.h"
#include "document/MediaPlayerDoc.h"
#include "panels/OverlayInput.h"
#include "resources/CommandIds.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QString ProgramName = QStringLiteral("NRX MediaPlayer");
const QColor BandColour(50, 50, 50);
} // namespace

TitleBarLayout ComputeTitleBarLayout(int w, int h) {
    const int side = h - 10;
    return {QRect(w - h + 5, 5, side, side), QRect(w - 2 * h + 12, 5, side, side),
            QRect(w - 3 * h + 19, 5, side, side)};
}

int TitleBandAlpha(int y, int h) {
    if (h <= 0) return 0;
    const int step = static_cast<int>(255.0 / h + 0.5);
    return std::max(255 - y * step, 0);
}

CVideoTitle* CVideoTitle::CreateTitleBar(QWidget* view, const QString& name) {
    if (!view) return nullptr;
    auto* bar = new CVideoTitle(view->window(), view);
    bar->setObjectName(name);
    bar->show();
    bar->raise();
    return bar;
}

CVideoTitle::CVideoTitle(QWidget* frame, QWidget* view) : QWidget(frame), view_(view), caption_(ProgramName) {
    // Only the band, the icon, the caption and the buttons are drawn; the picture shows through the rest.
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    resize(width(), kHeight);

    const auto makeButton = [this](const QString& tip) {
        auto* button = new CCustomButton(this);
        button->setToolTip(tip);
        button->backgroundColor = TransparentKey;
        button->forwardWindow = view_;
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    closeButton = makeButton(QStringLiteral("Close"));
    minimizeButton = makeButton(QStringLiteral("Minimize"));
    maximizeButton = makeButton(QStringLiteral("Maximize"));
    connect(closeButton, &QAbstractButton::clicked, this, [this] { Guarded([this] { OnClose(); }); });
    connect(minimizeButton, &QAbstractButton::clicked, this, [this] { Guarded([this] { OnMinimize(); }); });
    // Whatever the click did to the button's check state, SyncMaximizeButton sets it from full screen.
    connect(maximizeButton, &QAbstractButton::clicked, this,
            [this] { Guarded([this] { OnMaximizeRestore(); }); });
    LoadSkin();
    RecalcLayout();
}

void CVideoTitle::LoadSkin() {
    const CProgramSkin* skin = CProgramSkin::Current();
    if (!skin) return;
    icon_ = CSkinImage(skin->GetCommonFolder() + QStringLiteral("ProgramIcon.png"));
    closeButton->SetImages(skin->GetCommonFolder() + Params.CloseFileName);
    minimizeButton->SetImages(skin->GetTitleFolder() + Params.MinimizeName);
    const QString maximize = skin->GetTitleFolder() + Params.MaximizeName;
    maximizeButton->SetImages(maximize, CProgramSkin::SecondStateImage(maximize, RestoreImageSuffix));
}

void CVideoTitle::RecalcLayout() {
    const TitleBarLayout layout = ComputeTitleBarLayout(width(), height());
    closeButton->setGeometry(layout.close);
    maximizeButton->setGeometry(layout.maximize);
    minimizeButton->setGeometry(layout.minimize);
    update();
}

void CVideoTitle::SetCaption(const QString& caption) {
    caption_ = caption.isEmpty() ? ProgramName : caption;
    update();
}

void CVideoTitle::SyncMaximizeButton() {
    const CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    const bool fullScreen = doc && doc->fullScreen;
    if (maximizeButton->isCheckable()) maximizeButton->setChecked(fullScreen);
    update();
}

void CVideoTitle::OnMaximizeRestore() {
    CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    if (!doc) return;
    if (!doc->fullScreen)
        doc->OnCommand(ID_SIZE_FULLSCREEN); // keeps the window's rectangle for the way back
    else
        doc->RestoreFromFullScreen();
    SyncMaximizeButton();
}

void CVideoTitle::OnMinimize() {
    if (QWidget* top = window()) top->showMinimized();
}

void CVideoTitle::OnClose() {
    if (CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance()) doc->OnCommand(ID_APP_EXIT);
}

bool CVideoTitle::event(QEvent* event) {
    // Keys and wheel turns over the bar are the view's, so hot keys work wherever the pointer is.
    return HandleControlEvent(this, view_, true, event, [&] { return QWidget::event(event); });
}

void CVideoTitle::paintEvent(QPaintEvent*) {
    band_.Paint(*this, caption_, QImage::Format_ARGB32_Premultiplied, Qt::transparent,
                [this](QPainter& painter) { DrawBand(painter); });
}

void CVideoTitle::DrawBand(QPainter& painter) const {
    const int w = width(), h = height();
    // Line by line, each one more transparent, so a caption stays readable over a bright picture while the
    // band's lower edge melts into it.
    for (int y = 0; y < h; ++y) {
        QColor line = BandColour;
        line.setAlpha(TitleBandAlpha(y, h));
        painter.fillRect(0, y, w, 1, line);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!icon_.isNull()) {
        const QImage& icon = icon_.For(devicePixelRatioF());
        painter.drawImage(QRectF(3, 2, h - 5, h - 5), icon);
    }
    const CProgramSkin* skin = CProgramSkin::Current();
    if (skin && skin->textFont) {
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(*skin->textFont);
        painter.setPen(Qt::white);
        // Centred over the whole bar; a name too long for the room between the icon and the buttons loses its
        // middle rather than running under them.
        const QFontMetricsF metrics(*skin->textFont);
        const qreal room = std::max<qreal>(w - 2.0 * (3 * h - 19 + 4), 0.0);
        const QString text = metrics.elidedText(caption_, Qt::ElideMiddle, room);
        const qreal x = (w - metrics.horizontalAdvance(text)) / 2.0;
        const qreal y = (h - metrics.height()) / 2.0 + metrics.ascent();
        painter.drawText(QPointF(x, y), text);
    }
}

void CVideoTitle::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RecalcLayout();
}

void CVideoTitle::mousePressEvent(QMouseEvent* event) {
    ForwardPressToView(view_, event);
}

void CVideoTitle::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) Guarded([this] { OnMaximizeRestore(); });
}

void CVideoTitle::contextMenuEvent(QContextMenuEvent* event) {
    ForwardContextMenuToView(view_, event);
}
