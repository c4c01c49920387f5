// The skinned list: the ellipsis rule, and what only a real view shows — the selection and current-row
// fills, the disabled look, double-click and which keys stay with the list.
#include "controls/CustomListCtrl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(ListCtrl, EllipsisKeepsWhatTheAverageCharacterWidthAllowsLessTwo) {
    struct Case { QString text; double textWidth, cellWidth; QString shown; };
    for (const Case& c : {Case{"abcdefghij", 100, 100, "abcdefghij"},      // exactly fits
                          Case{"abcdefghij", 100, 50, "abc..."},           // twice too wide: half less two
                          Case{"abcdefghij", 100, 51, "abcd..."},          // a part character rounds up
                          Case{"abcdefghij", 100, 10, "..."},              // room for one: nothing kept
                          Case{"abcdefghij", 100, 0, "..."},
                          Case{"", 0, 0, ""}})
        EXPECT_EQ(ElideCellText(c.text, c.textWidth, c.cellWidth), c.shown) << c.cellWidth;
}

namespace {
class KeyRecorder : public QWidget {
public:
    QList<int> keys;
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::KeyPress) keys << static_cast<QKeyEvent*>(e)->key();
        return QWidget::event(e);
    }
};

class List : public ::testing::Test {
protected:
    void SetUp() override {
        model.SetColumns({"Name", "Duration"}, {Qt::AlignLeft, Qt::AlignRight});
        std::vector<QStringList> rows;
        for (int i = 0; i < 10000; ++i) rows.push_back({QString("clip %1.mp4").arg(i), "00:01:00"});
        model.SetRows(std::move(rows));
        list.setModel(&model);
        list.setColumnWidth(0, 200);
        list.setColumnWidth(1, 80);
        list.resize(300, 200);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    QRgb At(int row) {
        const QRect cell = list.visualRect(model.index(row, 0));
        return list.viewport()->grab().toImage().pixel(cell.left() + 150, cell.center().y());
    }
    CListCtrlModel model;
    CCustomListCtrl list;
};
} // namespace

TEST_F(List, SelectionAndCurrentRowHaveTheirFillsAndDisabledHasNone) {
    list.SetMarkedRow(2);
    list.selectRow(0);
    EXPECT_EQ(At(0), qRgb(0xB4, 0x82, 0x46));
    EXPECT_EQ(At(1), qRgb(0, 0, 0));
    EXPECT_EQ(At(2), list.palette().color(QPalette::Active, QPalette::Shadow).rgb());
    EXPECT_NE(At(2), qRgb(0, 0, 0));
    list.setEnabled(false);
    EXPECT_EQ(At(0), qRgb(0, 0, 0));
    EXPECT_EQ(At(2), qRgb(0, 0, 0));
}

TEST_F(List, DoubleClickNamesTheRowAndArrowsStayWithTheList) {
    QSignalSpy doubles(&list, &CCustomListCtrl::RowDoubleClicked);
    const QPoint onRow3 = list.visualRect(model.index(3, 0)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, onRow3); // a double-click follows a press
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, onRow3);
    ASSERT_EQ(doubles.count(), 1);
    EXPECT_EQ(doubles.at(0).at(0).toInt(), 3);

    KeyRecorder view;
    list.forwardWindow = &view;
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Space);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.currentIndex().row(), 4) << "the arrow moved the list's selection";
    EXPECT_EQ(view.keys, QList<int>{Qt::Key_Space}) << "a hot key went to the view";

    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(list.currentIndex().row(), 9999);
}
