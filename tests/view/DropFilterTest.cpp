#include "tests/TestSupport.h"
#include "view/DropFilter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool VideoByExtension(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "mp4" || suffix == "mkv" || suffix == "avi";
}

class DropFilter : public ::testing::Test {
protected:
    // Creates an empty file, or a folder when the path ends in '/'; returns its absolute path.
    QString Make(const QString& relative) {
        const bool folder = relative.endsWith('/');
        const QString path = dir_.filePath(folder ? relative.chopped(1) : relative);
        EXPECT_TRUE(folder ? QDir().mkpath(path) : WriteFile(path));
        return QFileInfo(path).absoluteFilePath();
    }
    static QList<QUrl> Urls(const QStringList& paths) {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        return urls;
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(DropFilter, TakesSupportedNewFilesInDropOrder) {
    const QString second = Make("zeta clip.mp4");
    const QString first = Make("Ärger/alpha.MKV");
    const QString known = Make("known.avi");
    CDropFilter filter(VideoByExtension, {known.toUpper()});

    QList<QUrl> urls = Urls({second, Make("notes.txt"), first, known, second});
    urls.append(QUrl("https://example.org/remote.mp4"));
    urls.append(QUrl::fromLocalFile(dir_.filePath("missing.mp4")));
    // Drop order, not name order; the known file differs only by case and still counts as known;
    // the same file twice in one drop is taken once.
    EXPECT_EQ(filter.Acceptable(urls), (QStringList{second, first}));
}

TEST_F(DropFilter, RefusesDragsWithNothingToAdd) {
    const QString known = Make("known.mp4");
    CDropFilter filter(VideoByExtension, {known});
    EXPECT_FALSE(filter.AcceptsAny(Urls({Make("readme.txt"), known, Make("mp4"), Make("empty/")})));
    EXPECT_FALSE(filter.AcceptsAny({}));
    // Without a predicate nothing can be judged playable.
    EXPECT_FALSE(CDropFilter({}, {}).AcceptsAny(Urls({Make("a.mp4")})));
}

TEST_F(DropFilter, FolderAddsItsOwnSupportedFilesInNameOrder) {
    const QString folder = Make("season/");
    const QString b = Make("season/b.mp4");
    const QString a = Make("season/A.mkv");
    const QString c = Make("season/c.avi");
    Make("season/cover.jpg");
    Make("season/extras/making-of.mp4");
    Make("season/sub.mp4/");
    const QString loose = Make("loose.mp4");
    CDropFilter filter(VideoByExtension, {c});
    EXPECT_EQ(filter.Acceptable(Urls({loose, folder})), (QStringList{loose, a, b}));
    EXPECT_TRUE(filter.AcceptsAny(Urls({folder})));
}
