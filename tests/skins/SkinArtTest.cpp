// The default skin as the build renders it: every image the panels ask for exists at 1x and 2x, and the
// rendered pixels carry the colours of their vector sources (catches a broken art pipeline).
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"
#include "skins/SkinImage.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
const QString BuiltSkin = QStringLiteral(NRX_BUILT_SKIN_DIR);
const QString ArtSources = QStringLiteral(NRX_SKIN_ART_DIR);

QString FirstFill(const QString& svgPath, const QString& element) {
    QFile file(svgPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QRegularExpression re("<" + element + "\\b[^>]*\\bfill=\"(#[0-9A-Fa-f]{6})\"");
    return re.match(QString::fromUtf8(file.readAll())).captured(1);
}
} // namespace

TEST(SkinArt, EveryImageTheDefaultSettingsNameExistsAtBothDensities) {
    CProgramSkin skin;
    ASSERT_TRUE(skin.LoadSkin(BuiltSkin));
    const std::pair<QString, QStringList> folders[] = {
        {skin.GetTitleFolder(), {Params.TitleSkinFile, Params.MaximizeName, Params.MinimizeName}},
        {skin.GetControlFolder(),
         {Params.ControlSkinFile, Params.PlayFileName, Params.StopFileName, Params.PreviousFile, Params.NextFileName,
          Params.SlowFileName, Params.FastFileName, Params.VolumeFileName, Params.PlayListName, Params.VideoToolsName,
          Params.VideoFileInfo}},
        {skin.GetToolsFolder(), {Params.ToolsSkinFile, Params.BrightnessName, Params.ContrastName, Params.SaturationName}},
        {skin.GetPlayListFolder(), {Params.PlayListSkinFile, Params.AddFile2List, Params.RemoveFile4List,
                                    Params.RemoveAll4List, Params.MoveFileUp, Params.MoveFileDown}},
        {skin.GetFileInfoFolder(), {Params.FileInfoSkin}},
        {skin.GetCommonFolder(), {Params.CloseFileName, Params.ResetFileName}},
    };
    QStringList paths{skin.logoPath,
                      CProgramSkin::SecondStateImage(skin.GetControlFolder() + Params.PlayFileName, PauseImageSuffix),
                      CProgramSkin::SecondStateImage(skin.GetControlFolder() + Params.VolumeFileName, MuteImageSuffix),
                      CProgramSkin::SecondStateImage(skin.GetTitleFolder() + Params.MaximizeName, RestoreImageSuffix)};
    for (const auto& [folder, files] : folders)
        for (const QString& file : files) paths << folder + file;
    for (const QString& path : paths) {
        const QImage oneX(path);
        const QImage twoX(SkinImageTwinPath(path));
        ASSERT_FALSE(oneX.isNull()) << qPrintable(path);
        ASSERT_FALSE(twoX.isNull()) << qPrintable(SkinImageTwinPath(path));
        EXPECT_EQ(twoX.size(), oneX.size() * 2) << qPrintable(path);
    }
}

TEST(SkinArt, RenderedPlayButtonCarriesItsSourceColoursAtBothDensities) {
    const QString source = ArtSources + "/Default/VideoControl/Play.png.svg";
    const QColor disc(FirstFill(source, "circle"));
    const QColor glyph(FirstFill(source, "path"));
    ASSERT_TRUE(disc.isValid() && glyph.isValid()) << "the source names its disc and glyph colours";
    EXPECT_EQ(disc, QColor(88, 159, 195)) << "the play button wears the accent colour";

    for (const int scale : {1, 2}) {
        const QString path = BuiltSkin + "/Default/VideoControl/" + (scale == 1 ? "Play.png" : "Play@2x.png");
        const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(48, 48) * scale) << qPrintable(path);
        const auto at = [&](double fx, double fy) {
            return image.pixelColor(int(fx * image.width()), int(fy * image.height()));
        };
        EXPECT_EQ(at(0.0, 0.0).alpha(), 0) << "outside the disc is see-through, scale " << scale;
        EXPECT_EQ(at(0.2, 0.5), disc) << "scale " << scale;
        EXPECT_EQ(at(0.55, 0.5), glyph) << "scale " << scale;
    }
}

TEST(SkinArt, LoaderTakesTheTwinOnDenseScreensAndGivesNothingForMissingFiles) {
    const QString play = BuiltSkin + "/Default/VideoControl/Play.png";
    const QImage dense = LoadSkinImage(play, 2.0);
    EXPECT_EQ(dense.devicePixelRatio(), 2.0);
    EXPECT_EQ(dense.deviceIndependentSize(), QSizeF(48, 48));
    EXPECT_EQ(LoadSkinImage(play, 1.0).size(), QSize(48, 48));
    EXPECT_TRUE(LoadSkinImage(BuiltSkin + "/Default/VideoControl/Missing.png", 2.0).isNull());
    EXPECT_EQ(SkinImageTwinPath("/a.b/Name"), "/a.b/Name@2x");
}
