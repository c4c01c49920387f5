// The tab strip's fill and sizes as a real widget shows them, and the folder chooser's three answers.
#include "controls/CustomTabCtrl.h"
#include "controls/FolderDialog.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(TabCtrl, PaintsFixedSizeTabsInTheFillColourWithTheSelectedOneRaised) {
    QWidget panel;
    panel.resize(300, 60);
    CCustomTabCtrl tabs(&panel);
    tabs.SetMinTabWidth(70);
    tabs.SetItemSize({70, 20});
    tabs.itemFill = QColor(0x32, 0x32, 0x32);
    tabs.addTab("Image");
    tabs.addTab("Sound");
    tabs.resize(200, 30);
    EXPECT_EQ(tabs.tabRect(0).size(), QSize(70, 20));
    EXPECT_EQ(tabs.tabRect(1).left(), 70);

    QImage skin(10, 10, QImage::Format_RGB32);
    skin.fill(QColor(0, 200, 0));
    tabs.parentImage = &skin;
    const QImage shot = tabs.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 5), tabs.itemFill);
    EXPECT_EQ(shot.pixelColor(150, 5), QColor(0, 200, 0)) << "the skin shows beside the tabs";
    EXPECT_EQ(shot.pixelColor(80, 21), tabs.itemFill) << "an unselected tab reaches over the edge";
    EXPECT_NE(shot.pixelColor(10, 21), tabs.itemFill) << "the selected one does not";
}

TEST(FolderDialog, ReturnsChosenNoPathOrCancelAndStartsAtTheInitialFolder) {
    QTemporaryDir dir;
    QString seenStart;
    QUrl answer;
    const auto previous = CFolderDialog::SetHook([&](QWidget*, const QString& start) {
        seenStart = start;
        return answer;
    });
    struct Case { QUrl answer; int result; QString chosen; };
    for (const Case& c : {Case{QUrl::fromLocalFile(dir.path()), CFolderDialog::Chosen, dir.path()},
                          Case{QUrl("https://example.org/share"), CFolderDialog::NoFileSystemPath, {}},
                          Case{QUrl(), CFolderDialog::Cancelled, {}}}) {
        CFolderDialog dialog(nullptr, "/start/here");
        answer = c.answer;
        EXPECT_EQ(dialog.DoModal(), c.result) << c.answer.toString().toStdString();
        EXPECT_EQ(dialog.chosenFolder, c.chosen);
        EXPECT_EQ(seenStart, "/start/here");
    }
    CFolderDialog::SetHook(previous);
}
