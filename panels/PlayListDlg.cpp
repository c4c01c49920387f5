#include "panels/PlayListDlg.h"

#include "app/PromptService.h"
#include "controls/CustomButton.h"
#include "controls/CustomListCtrl.h"
#include "document/Guarded.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "engine/DurationProbe.h"
#include "panels/FormatClock.h"
#include "resources/CommandIds.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSet>

namespace {
const QColor kListTextColour(255, 255, 0);
const QString kUnknownTime = QStringLiteral("--:--:--");

QStringList RowOf(const PlayListItem& item) {
    return {CPlayList::GetFileName(item.path), PlayListTimeText(item.duration)};
}
} // namespace

QString PlayListTimeText(std::int64_t seconds) { return seconds != 0 ? FormatClock(seconds) : kUnknownTime; }

CPlayListDlg::CPlayListDlg(QWidget* owner, QWidget* view) : CToolWindow(owner, view) {
    setWindowTitle(QStringLiteral("Video Play List"));
    const CProgramSkin* skin = CProgramSkin::Current();
    if (skin) SetSkinImage(skin->GetPlayListFolder() + Params.PlayListSkinFile);

    model = new CListCtrlModel(this);
    model->SetColumns({QStringLiteral("Film Name"), QStringLiteral("Time")}, {Qt::AlignLeft, Qt::AlignHCenter});
    list = new CCustomListCtrl(this);
    list->setModel(model);
    list->textColor = kListTextColour;
    list->SetListFont(MakeControlFont(Params.FontName, list->fontSize, true));
    list->parentImage = SkinImageForControls();
    list->forwardWindow = view;
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A scroll bar in the list's own dark colours rather than the desktop's light one.
    list->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: #101010; width: 12px; margin: 0; }"
        "QScrollBar::handle:vertical { background: #606060; min-height: 24px; border-radius: 3px; margin: 2px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(list, &CCustomListCtrl::RowDoubleClicked, this, &CPlayListDlg::OnRowDoubleClicked);

    closeButton = MakeCloseButton(QStringLiteral("Close Play List"), QSize(18, 18));
    addButton = MakeButton(Params.AddFile2List, QStringLiteral("Add File(s)"), {25, 25}, &CPlayListDlg::OnAdd);
    removeButton = MakeButton(Params.RemoveFile4List, QStringLiteral("Remove File"), {25, 25}, &CPlayListDlg::OnRemove);
    removeAllButton =
        MakeButton(Params.RemoveAll4List, QStringLiteral("Remove All Files"), {25, 23}, &CPlayListDlg::OnRemoveAll);
    upButton = MakeButton(Params.MoveFileUp, QStringLiteral("Move File Up"), {25, 25}, &CPlayListDlg::OnMoveUp);
    downButton = MakeButton(Params.MoveFileDown, QStringLiteral("Move File Down"), {25, 25}, &CPlayListDlg::OnMoveDown);

    resize(kWidth, kHeight);
    LayoutControls();
    PlaceBesideOwner();
}

CPlayListDlg::~CPlayListDlg() = default;

CCustomButton* CPlayListDlg::MakeButton(const QString& file, const QString& toolTip, QSize size,
                                        void (CPlayListDlg::*action)()) {
    auto* button = new CCustomButton(this);
    if (const CProgramSkin* skin = CProgramSkin::Current()) button->SetImages(skin->GetPlayListFolder() + file);
    button->Resize(size.width(), size.height());
    button->setToolTip(toolTip);
    button->forwardWindow = View();
    button->parentImage = SkinImageForControls();
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QAbstractButton::clicked, this, [this, action] { (this->*action)(); });
    return button;
}

CPlayList* CPlayListDlg::PlayList() { return ThePlayer ? &ThePlayer->playList : nullptr; }

void CPlayListDlg::PlaceBesideOwner() {
    const QWidget* owner = parentWidget();
    if (!owner) return;
    const QRect frame = owner->frameGeometry();
    const QScreen* screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    QPoint place(frame.right() + 1, frame.top());
    if (room.isValid() && place.x() + width() > room.right() + 1) place.setX(frame.left() - width());
    if (room.isValid()) {
        place.setX(std::clamp(place.x(), room.left(), std::max(room.left(), room.right() + 1 - width())));
        place.setY(std::clamp(place.y(), room.top(), std::max(room.top(), room.bottom() + 1 - height())));
    }
    move(place);
}

void CPlayListDlg::LayoutControls() {
    const int w = width(), h = height();
    const QSize close = closeButton->size(), add = addButton->size(), remove = removeButton->size();
    closeButton->move(w - close.width() - 4, 2);
    addButton->move(2, h - add.height() - 4);
    removeButton->move(add.width() + 4, h - remove.height() - 4);
    removeAllButton->move(add.width() + 4 + remove.width() + 15, h - removeAllButton->height() - 4);
    downButton->move(w - downButton->width() - 4, h - downButton->height() - 4);
    upButton->move(downButton->x() - upButton->width() - 4, h - upButton->height() - 4);
    list->setGeometry(3, close.height() + 4, w - 10, h - add.height() - close.height() - 10);
    AdjustNameColumn();
}

void CPlayListDlg::AdjustNameColumn() {
    const int nameWidth = list->width() - kTimeColumnWidth;
    const int rows = model->rowCount();
    const bool overflowing = rows > 0 && qint64(rows) * list->verticalHeader()->defaultSectionSize() > list->height();
    const int scrollBar = list->verticalScrollBar()->sizeHint().width();
    list->setColumnWidth(0, std::max(0, overflowing ? nameWidth - scrollBar : nameWidth));
    list->setColumnWidth(1, kTimeColumnWidth);
}

void CPlayListDlg::showEvent(QShowEvent* event) {
    CToolWindow::showEvent(event);
    Guarded([this] { FillList(); });
}

void CPlayListDlg::resizeEvent(QResizeEvent* event) {
    CToolWindow::resizeEvent(event);
    LayoutControls();
}

void CPlayListDlg::paintEvent(QPaintEvent* event) {
    CToolWindow::paintEvent(event);
    const CProgramSkin* skin = CProgramSkin::Current();
    if (!SkinImageForControls() || !skin || !skin->textFont) return;
    QPainter painter(this);
    painter.setFont(*skin->textFont);
    painter.setPen(Qt::white);
    painter.drawText(QRect(1, 3, width() - 1, height() - 3), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QStringLiteral("Video Play List"));
}

void CPlayListDlg::PlayListChanged() {
    if (isVisible()) Guarded([this] { FillList(); });
}

void CPlayListDlg::CurrentFileChanged() {
    if (isVisible()) Guarded([this] { UpdateCurrentRow(); });
}

void CPlayListDlg::FillList() {
    if (!PlayList()) return;
    ApplyKnownDurations();
    const CPlayList* playList = PlayList();
    std::vector<QStringList> rows;
    rows.reserve(playList->Count());
    for (const PlayListItem& item : playList->Items()) rows.push_back(RowOf(item));
    model->SetRows(std::move(rows));
    list->SetMarkedRow(playList->Current());
    AdjustNameColumn();
    ProbeUnknownDurations();
    update();
}

void CPlayListDlg::UpdateCurrentRow() {
    const CPlayList* playList = PlayList();
    if (!playList) return;
    const int current = playList->Current();
    list->SetMarkedRow(current);
    model->SetCell(current, 1, PlayListTimeText(playList->GetItem(current).duration));
    update();
}

int CPlayListDlg::SelectedRow() const {
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void CPlayListDlg::OnRowDoubleClicked(int row) {
    Guarded([&] {
        CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
        CPlayList* playList = PlayList();
        if (!doc || !playList || !ThePlayer->engine) return;
        if (row < 0 || row == playList->Current()) return;
        if (doc->OpenAndPlay(playList->GetPath(row), false) && row < playList->Count()) {
            playList->SetCurrent(row);
            UpdateCurrentRow();
        }
    });
}

void CPlayListDlg::OnAdd() {
    Guarded([&] {
        CPlayList* playList = PlayList();
        if (!CMediaPlayerDoc::Instance() || !playList || !ThePlayer->engine) return;
        const CVideoEngine& engine = *ThePlayer->engine;
        const QStringList chosen = ThePlayer->ChooseFiles();
        if (chosen.isEmpty()) return;
        // Names are compared ignoring case: a file of the same name from another folder is refused too.
        QSet<QString> names;
        names.reserve(playList->Count() + chosen.size());
        for (const PlayListItem& item : playList->Items()) names.insert(CPlayList::GetFileName(item.path).toCaseFolded());
        std::vector<QStringList> rows;
        for (const QString& path : chosen) {
            const QString name = CPlayList::GetFileName(path);
            if (!engine.IsSupportedFile(name)) continue;
            const QString key = name.toCaseFolded();
            if (names.contains(key)) continue;
            names.insert(key);
            playList->Add({path, 0});
            if (const qint64 known = knownDurations.value(playList->Items().back().path); known > 0)
                playList->SetDuration(-1, known);
            rows.push_back(RowOf(playList->Items().back()));
        }
        // Only the new rows are added: the list keeps its place, its selection and the rows already shown.
        if (model->rowCount() + static_cast<int>(rows.size()) == playList->Count())
            model->AppendRows(std::move(rows));
        else
            FillList();
        AdjustNameColumn();
        ProbeUnknownDurations();
    });
}

void CPlayListDlg::OnRemove() {
    Guarded([&] {
        CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
        CPlayList* playList = PlayList();
        if (!doc || !playList) return;
        const int selected = SelectedRow();
        if (selected < 0) return;
        const int markedBefore = list->MarkedRow();
        if (!playList->RemoveAt(selected)) return;
        FillList();
        // Removing the entry that plays stops playback.
        if (playList->Count() == 0 || selected == markedBefore) doc->OnCommand(ID_CLOSE_FILE);
    });
}

void CPlayListDlg::OnRemoveAll() {
    Guarded([&] {
        CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
        CPlayList* playList = PlayList();
        if (!doc || !playList || playList->Count() == 0) return;
        const PromptAnswer answer = CPromptService::Show(QStringLiteral("Are you sure want to delete all files from list?"),
                                                         PromptIcon::Question, PromptButtons::YesNo);
        if (answer != PromptAnswer::Yes) return;
        playList->Clear();
        FillList();
        doc->OnCommand(ID_CLOSE_FILE);
    });
}

void CPlayListDlg::MoveSelected(int step) {
    Guarded([&] {
        CPlayList* playList = PlayList();
        if (!CMediaPlayerDoc::Instance() || !playList) return;
        const int from = SelectedRow();
        const int to = from + step;
        if (from < 0 || to < 0 || from >= playList->Count() || to >= playList->Count()) return;
        playList->Swap(from, to);
        FillList();
        list->selectRow(to);
    });
}

void CPlayListDlg::ProbeUnknownDurations() {
    const CPlayList* playList = PlayList();
    if (!playList || !ThePlayer->engine) return;
    QStringList unknown;
    for (const PlayListItem& item : playList->Items())
        if (item.duration == 0) unknown.append(item.path);
    if (unknown.isEmpty() && !probe) return;
    if (!probe) {
        probe = std::make_unique<CDurationProbe>(ThePlayer->engine->Module());
        connect(probe.get(), &CDurationProbe::durationsFound, this, [this](const QHash<QString, qint64>& seconds) {
            Guarded([&] { ApplyDurations(seconds); });
        });
    }
    probe->Want(unknown);
}

void CPlayListDlg::ApplyKnownDurations() {
    CPlayList* playList = PlayList();
    if (!playList || knownDurations.isEmpty()) return;
    for (int i = 0; i < playList->Count(); ++i)
        if (playList->Items()[i].duration == 0)
            if (const qint64 known = knownDurations.value(playList->Items()[i].path); known > 0)
                playList->SetDuration(i, known);
}

void CPlayListDlg::ApplyDurations(const QHash<QString, qint64>& seconds) {
    CPlayList* playList = PlayList();
    if (!playList) return;
    for (auto found = seconds.constBegin(); found != seconds.constEnd(); ++found)
        if (found.value() > 0) knownDurations.insert(found.key(), found.value());
    // The playlist may have changed since the files were handed out: a result lands on every entry of
    // that file still waiting for one, and is dropped when there is none any more.
    const bool rowsMatch = model->rowCount() == playList->Count();
    for (int i = 0; i < playList->Count(); ++i) {
        const PlayListItem& item = playList->Items()[i];
        if (item.duration != 0) continue;
        const auto found = seconds.constFind(item.path);
        if (found == seconds.constEnd() || *found <= 0) continue;
        if (rowsMatch && model->Cell(i, 0) == CPlayList::GetFileName(item.path))
            model->SetCell(i, 1, PlayListTimeText(*found));
        playList->SetDuration(i, *found);
    }
}
