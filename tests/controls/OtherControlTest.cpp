// The time tip's move-without-measuring rule and the web link: opening through the desktop's URL handler,
// the prefix and text-as-address rules, and a message rather than a crash for an address that cannot open.
#include "controls/CustomToolTip.h"
#include "controls/MFCWebLink.h"
#include "tests/TestSupport.h"

#include <QDesktopServices>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened << url; }
};
} // namespace

TEST(TimeTip, MovesWithoutMeasuringWhileTheTextKeepsItsLength) {
    auto tip = CCustomToolTip::CreateToolTipWindow(nullptr);
    tip->ShowTipAt("00:00:01", {500, 300});
    EXPECT_EQ(tip->textSize, QSize(-999, -999)) << "no font: nothing happens";

    tip->font = std::make_unique<QFont>();
    tip->ShowTipAt("11:11:11", {500, 300});
    const QSize measured = tip->textSize;
    ASSERT_GT(measured.width(), 0);
    EXPECT_EQ(tip->geometry(), QRect(500 - measured.width() / 2, 300 - measured.height(), measured.width() + 1,
                                     measured.height() + 1)) << "centred above the point";

    tip->ShowTipAt("WW:WW:WW", {600, 300});
    EXPECT_EQ(tip->textSize, measured) << "same length: moved, not measured again";
    EXPECT_EQ(tip->text, "WW:WW:WW");
    EXPECT_EQ(tip->x(), 600 - measured.width() / 2);

    tip->ShowTipAt("1:00:00:00", {600, 300});
    EXPECT_NE(tip->textSize, measured) << "a longer text is measured";
}

TEST(WebLink, ClickOpensTheAddressThroughTheDesktopHandler) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("nrxtest", &catcher, "Open");
    CMFCWebLink link;
    link.setText("nrxtest://example/text");
    link.click();
    link.url = "//example/page";
    link.urlPrefix = "nrxtest:";
    link.click();
    link.defaultClick = true;
    link.click();
    link.defaultClick = false;
    link.setEnabled(false);
    link.click();
    QDesktopServices::unsetUrlHandler("nrxtest");
    EXPECT_EQ(catcher.opened,
              (QList<QUrl>{QUrl("nrxtest://example/text"), QUrl("nrxtest://example/page")}));
}

TEST(WebLink, AnAddressThatCannotOpenIsReportedNotThrown) {
    PromptRecorder prompts;
    EXPECT_FALSE(CMFCWebLink::OpenAddress("http://[broken"));
    EXPECT_FALSE(CMFCWebLink::OpenAddress("   ")) << "an empty address does nothing";
    ASSERT_EQ(prompts.texts.size(), 1);
    EXPECT_TRUE(prompts.texts.first().contains("http://[broken"));
}

#include "OtherControlTest.moc"
