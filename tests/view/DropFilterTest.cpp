#include "view/DropFilter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool VideoByExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "mp4" || suffix == "mkv" || suffix == "avi";
}

class InputDropFilter : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Make(const QString& relative)
    {
        const QString path = dir_.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return QFileInfo(path).absoluteFilePath();
    }
    QString Folder(const QString& relative)
    {
        QDir().mkpath(dir_.filePath(relative));
        return QFileInfo(dir_.filePath(relative)).absoluteFilePath();
    }
    static QList<QUrl> Urls(const QStringList& paths)
    {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        return urls;
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(InputDropFilter, TakesSupportedNewFilesInDropOrder)
{
    const QString second = Make("zeta clip.mp4");
    const QString first = Make("Ärger/alpha.MKV");
    const QString text = Make("notes.txt");
    const QString known = Make("known.avi");
    CDropFilter filter(VideoByExtension, {known.toUpper()});

    QList<QUrl> urls = Urls({second, text, first, known, second});
    urls.append(QUrl("https://example.org/remote.mp4"));
    urls.append(QUrl::fromLocalFile(dir_.filePath("missing.mp4")));
    // Drop order, not name order; the known file differs only by case and still counts as known;
    // the same file twice in one drop is taken once.
    EXPECT_EQ(filter.Acceptable(urls), (QStringList{second, first}));
    EXPECT_TRUE(filter.AcceptsAny(urls));
}

TEST_F(InputDropFilter, RefusesDragsWithNothingToAdd)
{
    const QString text = Make("readme.txt");
    const QString known = Make("known.mp4");
    const QString noSuffix = Make("mp4");
    CDropFilter filter(VideoByExtension, {known});
    const QList<QUrl> urls = Urls({text, known, noSuffix, Folder("empty")});
    EXPECT_TRUE(filter.Acceptable(urls).isEmpty());
    EXPECT_FALSE(filter.AcceptsAny(urls));
    EXPECT_FALSE(CDropFilter(VideoByExtension, {}).AcceptsAny({}));
    // Without a predicate nothing can be judged playable.
    EXPECT_FALSE(CDropFilter({}, {}).AcceptsAny(Urls({Make("a.mp4")})));
}

TEST_F(InputDropFilter, FolderAddsItsOwnSupportedFilesInNameOrder)
{
    const QString folder = Folder("season");
    const QString b = Make("season/b.mp4");
    const QString a = Make("season/A.mkv");
    const QString c = Make("season/c.avi");
    Make("season/cover.jpg");
    Make("season/extras/making-of.mp4");
    Folder("season/sub.mp4");
    const QString loose = Make("loose.mp4");
    CDropFilter filter(VideoByExtension, {c});

    EXPECT_EQ(filter.Acceptable(Urls({loose, folder})), (QStringList{loose, a, b}));
    EXPECT_EQ(CDropFilter::FolderFiles(folder).size(), 4);
    EXPECT_TRUE(filter.AcceptsAny(Urls({folder})));
}
