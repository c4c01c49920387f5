// CCustomListCtrl: the skinned playlist view, an item view over a table model so long lists stay quick.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <memory>
#include <vector>

// The text a cell shows: in full when it fits, else as many characters as the average character width lets
// into cellWidth, less two, followed by "...".
QString ElideCellText(const QString& text, double textWidth, double cellWidth);
// True for the keys the list answers itself (moving through rows, starting an item); the rest go onwards.
bool ListOwnsKey(int key);

// Rows of text cells under fixed columns; each column has its header text and horizontal alignment.
class CListCtrlModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetColumns(const QStringList& headers, const QList<Qt::Alignment>& alignments);
    void SetRows(std::vector<QStringList> rows);
    // Adds rows at the end without touching the others (the view keeps its place and selection).
    void AppendRows(std::vector<QStringList> rows);
    // Changes one cell's text; nothing when the cell does not exist.
    void SetCell(int row, int column, const QString& text);
    QString Cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList headers;
    QList<Qt::Alignment> alignments;
    std::vector<QStringList> rows;
};

class CCustomListCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CCustomListCtrl(QWidget* parent = nullptr);

    // The row of the item that is playing; -1: none. It keeps its own mark while another row is selected.
    void SetMarkedRow(int row);
    int MarkedRow() const { return markedRow; }
    // The font used for the cells (bold, at fontSize points); null: the widget's own font.
    void SetListFont(std::unique_ptr<QFont> font);
    const QFont& CellFont() const;

    const QImage* parentImage = nullptr; // the panel's skin, stretched over the panel; not owned
    QColor textColor{255, 255, 255};
    int fontSize = 10;
    QPointer<QWidget> forwardWindow; // receives the keys the list does not answer itself

signals:
    void RowDoubleClicked(int row);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    std::unique_ptr<QFont> listFont;
    int markedRow = -1;
};

// Paints one cell by the skinned list's rules: selection or mark fill, elided text in the column's alignment.
class CListCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CListCellDelegate(CCustomListCtrl* list);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    CCustomListCtrl* list;
};
