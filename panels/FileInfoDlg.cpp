#include "panels/FileInfoDlg.h"

#include "controls/CustomButton.h"
#include "document/Guarded.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "panels/FormatClock.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextOption>
#include <algorithm>

namespace {
const QString Separator = QString(44, QLatin1Char('-')) + QStringLiteral("\n\n");
const QColor ReportColour(255, 255, 0);
constexpr int kCloseSide = 18;
constexpr int kReportFontPixels = 15;
} // namespace

QStringList FileInfoLines(const FileInfoFacts& facts) {
    // Ratio and size are worked out in single precision, as the figures have always been printed.
    const float aspect = facts.height > 0 ? float(facts.width) / float(facts.height) : 0.0f;
    QStringList lines{
        QString::asprintf("Width:\t\t%d pixels\n", facts.width),
        QString::asprintf("Height:\t%d pixels\n", facts.height),
        QString::asprintf("Frame rate:\t%.2f fps\n", double(facts.frameRate)),
        FormatClock(facts.duration, "Duration:\t%Hh %Mmin %Ssec\n"),
        QString::asprintf("Aspect ratio:\t%.2f:1\n", double(aspect)),
    };
    if (facts.bytes) {
        const float gib = float(*facts.bytes) / (1024.0f * 1024.0f * 1024.0f);
        lines << QString::asprintf("File Size:\t %.2f GiB\n", double(gib));
    }
    return lines;
}

QString FileInfoReport(const std::optional<FileInfoFacts>& facts) {
    if (!facts) return QStringLiteral("No Video File Opened\n") + Separator;
    return facts->name + QLatin1Char('\n') + Separator + FileInfoLines(*facts).join(QString());
}

CFileInfoDlg::CFileInfoDlg(QWidget* owner, QWidget* view) : CToolWindow(owner, view) {
    setWindowTitle(QStringLiteral("Video File Info"));
    const CProgramSkin* skin = CProgramSkin::Current();
    if (skin) SetSkinImage(skin->GetFileInfoFolder() + Params.FileInfoSkin);
    closeButton = MakeCloseButton(QStringLiteral("Close"), QSize(kCloseSide, kCloseSide));

    report = new QTextEdit(this);
    report->setReadOnly(true);
    report->setLineWrapMode(QTextEdit::WidgetWidth);
    report->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    report->document()->setDocumentMargin(2);
    report->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Keys belong to the player's hot keys (the window hands them to the view), so the text never takes them.
    report->setFocusPolicy(Qt::NoFocus);
    report->setFrameShape(QFrame::NoFrame);
    if (skin) {
        report->setFont(skin->TextFontWithPixelHeight(kReportFontPixels));
        QPalette palette = report->palette();
        palette.setColor(QPalette::Base, Qt::black);
        report->setPalette(palette);
    }
    SetReportTabs();
    resize(kWidth, kHeight);
    if (owner) move(owner->geometry().center() - rect().center());
    RebuildReport();

    // Command 2000 of old: a file opened while the window is up replaces the whole report.
    if (CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance()) {
        connect(doc, &CMediaPlayerDoc::fileOpened, this, [this] {
            if (isVisible()) Guarded([this] { RebuildReport(); });
        });
    }
}

void CFileInfoDlg::SetReportTabs() {
    // "Width:" is followed by two tabs and every other label by one: the first stop just clears "Width:", the
    // second clears the longest label, so all values start in one column.
    const QFontMetricsF metrics(report->font());
    qreal widest = 0;
    for (const char* label : {"Height:", "Frame rate:", "Duration:", "Aspect ratio:", "File Size:"})
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1String(label)));
    const qreal first = metrics.horizontalAdvance(QStringLiteral("Width:")) + 1;
    tabs = {QTextOption::Tab(first, QTextOption::LeftTab), QTextOption::Tab(std::max(widest, first) + 12, QTextOption::LeftTab)};
}

void CFileInfoDlg::RebuildReport() {
    report->clear();
    const CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    CRedadIzivad* player = doc ? doc->Player() : nullptr;
    CVideoEngine* engine = player ? player->engine.get() : nullptr;
    if (!engine) return;
    std::optional<FileInfoFacts> facts;
    if (engine->IsOpened()) {
        const QSize size = engine->FrameSize();
        facts = FileInfoFacts{engine->GetFileName(), size.width(), size.height(), engine->GetFrameRate(),
                              engine->GetDuration(), std::nullopt};
        // Asked afresh each time: a file deleted after it was opened has no size to show.
        const QFileInfo file(engine->GetFilePath());
        if (file.exists()) facts->bytes = file.size();
    }
    QTextCursor cursor(report->document());
    QTextBlockFormat block;
    block.setTabPositions(tabs); // every line of the report is a block made from this one
    cursor.setBlockFormat(block);
    QTextCharFormat yellow;
    yellow.setForeground(ReportColour);
    cursor.insertText(FileInfoReport(facts), yellow);
    report->moveCursor(QTextCursor::Start);
}

QString CFileInfoDlg::ReportText() const { return report->toPlainText(); }

void CFileInfoDlg::resizeEvent(QResizeEvent* event) {
    CToolWindow::resizeEvent(event);
    const QSize button = closeButton->size();
    closeButton->move(width() - button.width() - 4, 2);
    report->setGeometry(5, button.height() + 5, width() - 12, height() - button.height() - 10);
}

void CFileInfoDlg::paintEvent(QPaintEvent* event) {
    CToolWindow::paintEvent(event);
    const CProgramSkin* skin = CProgramSkin::Current();
    if (!skin || !skin->textFont || !SkinImageForControls()) return;
    QPainter painter(this);
    painter.setFont(*skin->textFont);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(1, 3 + QFontMetricsF(*skin->textFont).ascent()), QStringLiteral("Video File Info"));
}
