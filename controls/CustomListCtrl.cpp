#include "controls/CustomListCtrl.h"

#include "controls/CustomButton.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <cmath>
#include <iterator>

namespace {
const QColor kSelectedFill(0xB4, 0x82, 0x46);
} // namespace

QString ElideCellText(const QString& text, double textWidth, double cellWidth) {
    if (text.isEmpty() || textWidth <= cellWidth) return text;
    const double average = textWidth / text.size();
    const double fitting = std::ceil(std::max(cellWidth, 0.0) / average) - 2;
    const qsizetype keep = std::clamp<qsizetype>(static_cast<qsizetype>(fitting), 0, text.size());
    return text.left(keep) + QStringLiteral("...");
}

bool ListOwnsKey(int key) {
    switch (key) {
    case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown:
    case Qt::Key_Home: case Qt::Key_End: case Qt::Key_Return: case Qt::Key_Enter:
    case Qt::Key_Tab: case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

void CListCtrlModel::SetColumns(const QStringList& newHeaders, const QList<Qt::Alignment>& newAlignments) {
    beginResetModel();
    headers = newHeaders;
    alignments = newAlignments;
    endResetModel();
}

void CListCtrlModel::SetRows(std::vector<QStringList> newRows) {
    beginResetModel();
    rows = std::move(newRows);
    endResetModel();
}

void CListCtrlModel::AppendRows(std::vector<QStringList> newRows) {
    if (newRows.empty()) return;
    const int first = static_cast<int>(rows.size());
    beginInsertRows({}, first, first + static_cast<int>(newRows.size()) - 1);
    rows.insert(rows.end(), std::make_move_iterator(newRows.begin()), std::make_move_iterator(newRows.end()));
    endInsertRows();
}

void CListCtrlModel::SetCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return;
    QStringList& cells = rows[row];
    while (cells.size() <= column) cells.append(QString());
    if (cells[column] == text) return;
    cells[column] = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

QString CListCtrlModel::Cell(int row, int column) const {
    return row >= 0 && row < rowCount() ? rows[row].value(column) : QString();
}

int CListCtrlModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int CListCtrlModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : headers.size(); }

QVariant CListCtrlModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) return rows[index.row()].value(index.column());
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignments.value(index.column(), Qt::AlignLeft));
    return {};
}

QVariant CListCtrlModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return headers.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

CCustomListCtrl::CCustomListCtrl(QWidget* parent) : QTableView(parent) {
    setFrameShape(QFrame::NoFrame);
    setShowGrid(false);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Fixed row heights let the view place any of ten thousand rows without measuring the others.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    viewport()->setAutoFillBackground(false);
    QPalette colours = palette();
    // The cells paint the selection themselves, enabled or not; the style must not paint one under them.
    colours.setColor(QPalette::Highlight, Qt::transparent);
    setPalette(colours);
    setItemDelegate(new CListCellDelegate(this));
    setAccessibleName(tr("List"));
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit RowDoubleClicked(index.row());
    });
    SetListFont(nullptr);
}

void CCustomListCtrl::SetMarkedRow(int row) {
    if (row == markedRow) return;
    markedRow = row;
    viewport()->update();
}

void CCustomListCtrl::SetListFont(std::unique_ptr<QFont> font) {
    listFont = std::move(font);
    const int rowHeight = QFontMetrics(CellFont()).height() + 4;
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    viewport()->update();
}

const QFont& CCustomListCtrl::CellFont() const { return listFont ? *listFont : font(); }

bool CCustomListCtrl::event(QEvent* event) {
    // Moving through rows belongs to the list; any other key is a player hot key and goes to the view.
    bool forward = false;
    if (event->type() == QEvent::KeyPress)
        forward = forwardWindow && !ListOwnsKey(static_cast<QKeyEvent*>(event)->key());
    return HandleControlEvent(this, forwardWindow, forward, event, [&] { return QTableView::event(event); });
}

void CCustomListCtrl::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(viewport());
        painter.fillRect(event->rect(), Qt::black);
        if (parentImage) {
            painter.setClipRect(event->rect());
            painter.translate(-viewport()->pos());
            DrawParentBackground(painter, this, *parentImage);
        }
    }
    QTableView::paintEvent(event);
}

QModelIndex CCustomListCtrl::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // A list of rows: Home and End go to the first and last row, as in any playlist, not along the row.
    if ((action == MoveHome || action == MoveEnd) && model() && model()->rowCount() > 0) {
        const int row = action == MoveHome ? 0 : model()->rowCount() - 1;
        return model()->index(row, std::max(currentIndex().column(), 0));
    }
    return QTableView::moveCursor(action, modifiers);
}

CListCellDelegate::CListCellDelegate(CCustomListCtrl* list) : QStyledItemDelegate(list), list(list) {}

void CListCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QRect cell = option.rect;
    const bool enabled = list->isEnabled();
    QColor pen = list->palette().color(QPalette::Active, QPalette::WindowText);
    if (enabled) {
        pen = list->textColor;
        const QRect fill(cell.left() - 2, cell.top(), cell.width() + 2, cell.height());
        if (option.state & QStyle::State_Selected)
            painter->fillRect(fill, kSelectedFill);
        else if (index.row() == list->MarkedRow())
            painter->fillRect(fill, list->palette().color(QPalette::Active, QPalette::Shadow));
    }
    const QFont& font = list->CellFont();
    const QString text = index.data(Qt::DisplayRole).toString();
    const QFontMetricsF metrics(font);
    QString shown = ElideCellText(text, metrics.horizontalAdvance(text), cell.width());
    // The rule estimates from the average letter; wide letters can still overflow, and a "..." cut off by the
    // next column would hide that anything is missing, so letters go until it really fits.
    for (qsizetype keep = shown.size() - 3; shown != text && keep > 0 && metrics.horizontalAdvance(shown) > cell.width();)
        shown = text.left(--keep) + QStringLiteral("...");
    Qt::Alignment horizontal = Qt::AlignLeft;
    const auto align = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    if (align & Qt::AlignRight) horizontal = Qt::AlignRight;
    else if (align & Qt::AlignHCenter) horizontal = Qt::AlignHCenter;
    painter->save();
    painter->setFont(font);
    painter->setPen(pen);
    painter->drawText(cell, horizontal | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter->restore();
}
