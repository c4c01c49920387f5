// The skin catalogue on real folders: which skin is taken, where each panel looks, second looks, the font.
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace {
class Skins : public ::testing::Test {
protected:
    // The global settings these tests change, put back after each.
    static auto Globals() { return std::tie(Params.FontName, Params.SkinFileExtn, Params.SkinFolder, ProgramFolder); }
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        saved = Globals();
    }
    void TearDown() override { Globals() = saved; }
    QString Make(const QString& relative) {
        const QString path = dir.filePath(relative);
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }
    void Touch(const QString& relative) { ASSERT_TRUE(WriteFile(dir.filePath(relative))); }

    QTemporaryDir dir;
    std::tuple<QString, QString, QString, QString> saved;
};
} // namespace

TEST_F(Skins, TheFirstEnumeratedSubFolderIsTheSkinAndTheLogoLiesInTheRoot) {
    Make("B");
    Make("A");
    Make("...");
    Touch("MediaPlayerLogo.jpg");
    CProgramSkin skin;
    ASSERT_TRUE(skin.LoadSkin(dir.path()));
    EXPECT_TRUE(skin.loaded);
    ASSERT_EQ(skin.skinNames.size(), 2) << "'...' is skipped like '.' and '..'";
    EXPECT_TRUE(skin.skinNames.contains("A") && skin.skinNames.contains("B"));
    EXPECT_EQ(skin.GetControlFolder(), dir.path() + "/" + skin.skinNames.first() + "/VideoControl/");
    EXPECT_EQ(skin.logoPath, dir.path() + "/MediaPlayerLogo.jpg");
    EXPECT_NE(skin.textFont, nullptr);
}

TEST_F(Skins, RootsWithoutSubFoldersLoadNothingAndKeepEarlierFolders) {
    Touch("only-a-file.png");
    CProgramSkin skin;
    EXPECT_FALSE(skin.LoadSkin(dir.path()));
    EXPECT_EQ(skin.textFont, nullptr);
    EXPECT_TRUE(skin.GetCommonFolder().isEmpty());
    EXPECT_FALSE(skin.EnumSkinFolders(dir.filePath("only-a-file.png")));

    Make("Skin");
    ASSERT_TRUE(skin.LoadSkin(dir.path() + "/")); // a trailing separator changes nothing
    const QString common = skin.GetCommonFolder();
    EXPECT_EQ(common, dir.path() + "/Skin/Common/");
    EXPECT_FALSE(skin.LoadSkin(""));
    EXPECT_TRUE(skin.loaded) << "an empty root changes nothing at all";
    EXPECT_FALSE(skin.LoadSkin(dir.filePath("missing")));
    EXPECT_FALSE(skin.loaded);
    EXPECT_EQ(skin.GetCommonFolder(), common);
}

TEST_F(Skins, OnlyFoldersAndLinksToFoldersAreSkins) {
    // Each kind of entry alone in a root: a non-folder must never become the skin.
    const struct {
        const char* what;
        std::function<bool(const QString& path)> make;
        bool isSkin;
    } cases[] = {
        {"broken link", [](const QString& p) { return QFile::link("/no/such/target", p); }, false},
        {"named pipe", [](const QString& p) { return mkfifo(QFile::encodeName(p).constData(), 0600) == 0; }, false},
        {"plain file", [](const QString& p) { return QFile(p).open(QIODevice::WriteOnly); }, false},
        {"link to a folder", [this](const QString& p) { return QFile::link(Make("real"), p); }, true},
    };
    for (const auto& c : cases) {
        QTemporaryDir root;
        ASSERT_TRUE(c.make(root.filePath("Entry"))) << c.what;
        CProgramSkin skin;
        EXPECT_EQ(skin.LoadSkin(root.path()), c.isSkin) << c.what;
        EXPECT_EQ(skin.skinNames, c.isSkin ? QStringList{"Entry"} : QStringList{}) << c.what;
    }
}

TEST_F(Skins, StoredSkinFolderWorksWithEitherSeparator) {
    ProgramFolder = dir.path();
    Make("RedadIzivadSkin/Default");
    for (const char* stored : {"\\RedadIzivadSkin", "/RedadIzivadSkin", "\\RedadIzivadSkin\\"}) {
        Params.SkinFolder = stored;
        CProgramSkin skin;
        EXPECT_TRUE(skin.LoadSkin(CProgramSkin::SettingsSkinRoot())) << stored;
        EXPECT_EQ(skin.GetTitleFolder(), dir.path() + "/RedadIzivadSkin/Default/VideoTitle/") << stored;
    }
}

TEST_F(Skins, SecondLooksAreNamedFromTheFirstImagesPath) {
    EXPECT_EQ(CProgramSkin::SecondStateImage("/s/VideoControl/Play.png", PauseImageSuffix),
              "/s/VideoControl/Play - Pause.png");
    Params.SkinFileExtn = ".bmp";
    EXPECT_EQ(CProgramSkin::SecondStateImage("/s/VideoControl/Forward.gif", PauseImageSuffix),
              "/s/VideoControl/Forward - Pause.bmp");
    EXPECT_EQ(CProgramSkin::SecondStateImage("/s.v2/VideoControl/Volume", MuteImageSuffix), "/s - Mute.bmp")
        << "the last dot of the whole path decides, even in a folder name";
    EXPECT_EQ(CProgramSkin::SecondStateImage("/s/Volume", MuteImageSuffix), " - Mute.bmp");
}

TEST_F(Skins, FontIsTenPointBoldInTheChosenFamilyOrASansSerifFallback) {
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    Params.FontName = families.first();
    CProgramSkin skin;
    ASSERT_TRUE(skin.CreateSkinFonts());
    EXPECT_EQ(skin.textFont->family(), families.first());
    EXPECT_TRUE(skin.textFont->bold());
    EXPECT_EQ(skin.textFont->pointSizeF(), 10.0);
    const QFont smaller = skin.TextFontWithPixelHeight(9);
    EXPECT_EQ(smaller.pixelSize(), 9);
    EXPECT_TRUE(smaller.bold());

    Params.FontName = "No Such Family 7f3a";
    ASSERT_TRUE(skin.CreateSkinFonts());
    EXPECT_NE(QFontInfo(*skin.textFont).family(), "No Such Family 7f3a");
    EXPECT_EQ(skin.textFont->styleHint(), QFont::SansSerif);
}
