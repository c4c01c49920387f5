#include "panels/AboutDlg.h"

#include "controls/CustomButton.h"
#include "controls/MFCWebLink.h"
#include "document/Guarded.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextEdit>
#include <QUrl>

namespace {
const QColor Background(24, 28, 32);
const QColor TextColour(233, 238, 242);

// The box was drawn on a 310 x 249 grid; these turn a place on it into pixels of the 465 x 405 box.
QRect Cell(int x, int y, int w, int h) {
    const auto px = [](int v) { return v * CAboutDlg::kWidth / 310; };
    const auto py = [](int v) { return v * CAboutDlg::kHeight / 249; };
    return QRect(px(x), py(y), px(x + w) - px(x), py(y + h) - py(y));
}

// The four picture links, left to right: image in the skin's common folder, tooltip, address setting.
struct PageLink {
    const char* image;
    const char* tip;
    QString CProgramParams::*address;
};
const PageLink PageLinks[4] = {
    {"LinkMessage.png", "Community", &CProgramParams::socialPage1},
    {"LinkNetwork.png", "News", &CProgramParams::socialPage2},
    {"LinkVideo.png", "Videos", &CProgramParams::socialPage3},
    {"LinkProfile.png", "Photos", &CProgramParams::socialPage4},
};

QLabel* MakeText(QWidget* parent, const QString& text, const QRect& where, bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, TextColour);
    label->setPalette(palette);
    label->setGeometry(where);
    // A click on a text is a click on the box: it moves the box like its background does.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}
} // namespace

QString CAboutDlg::VersionText() { return QStringLiteral(NRX_VERSION_TEXT); }

QString CAboutDlg::HotKeysPath() { return QDir(ProgramFolder).filePath(QStringLiteral("MediaPlayerHotKeys.txt")); }

QString CAboutDlg::LoadHotKeysText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(file.readAll());
}

CAboutDlg::CAboutDlg(QWidget* owner, QWidget* view) : CToolWindow(owner, view) {
    setWindowTitle(QStringLiteral("%1 v%2").arg(QStringLiteral("NRX MediaPlayer"), VersionText()));
    resize(kWidth, kHeight);
    if (owner) move(owner->geometry().center() - rect().center());
    const CProgramSkin* skin = CProgramSkin::Current();

    picture = new QLabel(this);
    picture->setGeometry(Cell(7, 7, 115, 69));
    picture->setAlignment(Qt::AlignCenter);
    picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (skin) {
        CSkinImage image(skin->GetCommonFolder() + QStringLiteral("AboutPicture.png"));
        if (!image.isNull()) {
            QPixmap pixmap = QPixmap::fromImage(image.For(devicePixelRatioF()));
            picture->setPixmap(pixmap.scaled(picture->size() * pixmap.devicePixelRatio(), Qt::KeepAspectRatio,
                                             Qt::SmoothTransformation));
        }
    }

    // The name takes two lines where the skin's font is wide; the version goes under it.
    MakeText(this, QStringLiteral("NRX MediaPlayer - Professional Media Player"), Cell(127, 7, 176, 22), true);
    versionLabel = MakeText(this, QStringLiteral("Version %1").arg(VersionText()), Cell(127, 30, 176, 9));
    MakeText(this, QStringLiteral("Plays every file the engine can open."), Cell(127, 56, 176, 8));

    hotKeys = new QTextEdit(this);
    hotKeys->setReadOnly(true);
    hotKeys->setFocusPolicy(Qt::NoFocus); // keys stay the player's hot keys
    hotKeys->setLineWrapMode(QTextEdit::NoWrap);
    hotKeys->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    hotKeys->setFrameShape(QFrame::NoFrame);
    QPalette cardColours = hotKeys->palette();
    cardColours.setColor(QPalette::Base, QColor(12, 14, 16));
    cardColours.setColor(QPalette::Text, TextColour);
    hotKeys->setPalette(cardColours);
    hotKeys->setGeometry(Cell(7, 78, 296, 115));
    hotKeys->setPlainText(LoadHotKeysText(HotKeysPath()));

    MakeText(this, QStringLiteral("Find us on:"), Cell(7, 197, 60, 8));
    siteLink = new CMFCWebLink(this);
    siteLink->url = Params.webSiteAddress;
    siteLink->setText(QUrl(Params.webSiteAddress).host().isEmpty() ? Params.webSiteAddress
                                                                  : QUrl(Params.webSiteAddress).host());
    siteLink->setToolTip(QStringLiteral("Visit our site"));
    siteLink->setFocusPolicy(Qt::NoFocus);
    QPalette linkColours = siteLink->palette();
    linkColours.setColor(QPalette::Link, QColor(88, 159, 195));
    siteLink->setPalette(linkColours);
    siteLink->hoverColor = TextColour;
    // Right-aligned on the place the grid gives it, as wide as its text needs.
    const QRect linkCell = Cell(196, 197, 107, 12);
    siteLink->SizeToContent();
    siteLink->move(linkCell.right() - siteLink->width(), linkCell.y());

    for (int i = 0; i < 4; ++i) {
        const PageLink& link = PageLinks[i];
        auto* button = new CCustomButton(this);
        if (skin) button->SetImages(skin->GetCommonFolder() + QLatin1String(link.image));
        button->backgroundColor = Background;
        button->forwardWindow = view;
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolTip(QString::fromLatin1(link.tip));
        // Square, at the left of the place the grid gives it.
        const QRect cell = Cell(7 + 40 * i, 208, 38, 35);
        const int side = std::min(cell.width(), cell.height());
        button->setGeometry(cell.x(), cell.y(), side, side);
        const auto address = link.address;
        connect(button, &QAbstractButton::clicked, this, [address] { Guarded([&] { CMFCWebLink::OpenAddress(Params.*address); }); });
        pageButtons[i] = button;
    }

    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setDefault(true);
    closeButton->setFocusPolicy(Qt::NoFocus);
    closeButton->setGeometry(Cell(215, 227, 88, 16));
    QPalette buttonColours = closeButton->palette();
    buttonColours.setColor(QPalette::Button, QColor(50, 50, 50));
    buttonColours.setColor(QPalette::ButtonText, TextColour);
    closeButton->setPalette(buttonColours);
    connect(closeButton, &QPushButton::clicked, this, [this] { Close(); });
}

void CAboutDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Background);
    painter.setPen(QColor(60, 70, 79));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
