// The settings object over a real settings file: first start, round trips, repairs, the recent list.
#include "SettingsFixture.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString ExpectedHistory() {
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return docs.isEmpty() ? ProgramFolder : QDir::toNativeSeparators(docs) + QDir::separator() + "NRX MediaPlayer";
}
} // namespace

using Settings = SettingsFixture;

TEST_F(Settings, FirstStartRunsWithDefaultsAndStoresTheDefaultHistoryEmpty) {
    CProgramParams params;
    params.LoadParams();
    EXPECT_EQ(params.AffinityMask, 15);
    EXPECT_EQ(params.HistoryDirectory, ExpectedHistory());
    EXPECT_TRUE(params.recentFiles.isEmpty());

    params.SaveParams(true);
    QSettings file = ReadBack();
    file.beginGroup("Params");
    EXPECT_EQ(file.childGroups(), QStringList({"GlobalParams", "ProgramSkin", "VideoSettings"}));
    EXPECT_EQ(file.value("GlobalParams/HistoryDirectory").toString(), "");
    EXPECT_FALSE(file.contains("GlobalParams/SaveFileSizeMb")) << "a row of a section no group stores";
    EXPECT_EQ(file.value("GlobalParams/EnableSaveLog").toInt(), 1);
}

TEST_F(Settings, StoredFieldsOfEachKindSurviveASaveAndTheNextStart) {
    {
        CProgramParams params;
        params.LoadParams();
        params.OnTopStatus = 2;
        params.Contrast = -100;
        params.FontName = "DejaVu Sans";
        params.LastFolderPath = "/srv/video/Ünïcödé, with comma";
        params.EnableScreenSaver = false;
        params.SkinFolder = "/OtherSkin";
        params.SaveFileSizeMb = 500; // never stored
        params.SaveParams(true);
    }
    OpenStore();
    CProgramParams params;
    params.LoadParams();
    EXPECT_EQ(params.OnTopStatus, 2);
    EXPECT_EQ(params.Contrast, -100);
    EXPECT_EQ(params.FontName, "DejaVu Sans");
    EXPECT_EQ(params.LastFolderPath, "/srv/video/Ünïcödé, with comma");
    EXPECT_FALSE(params.EnableScreenSaver);
    EXPECT_EQ(params.SkinFolder, "/OtherSkin");
    EXPECT_EQ(params.SaveFileSizeMb, 100);
}

TEST_F(Settings, MissingEmptyAndMinus999ValuesKeepTheDefaults) {
    WriteRawFile("[Params]\n"
                 "GlobalParams\\AffinityMask=-999\n"
                 "GlobalParams\\EnableScreenSaver=-999\n"
                 "GlobalParams\\FontName=\n"
                 "ProgramSkin\\SkinFolder=\"\"\n");
    CProgramParams params;
    params.LoadParams();
    EXPECT_EQ(params.AffinityMask, 15);
    EXPECT_TRUE(params.EnableScreenSaver);
    EXPECT_EQ(params.FontName, "Times New Roman");
    EXPECT_EQ(params.SkinFolder, "\\RedadIzivadSkin");
}

TEST_F(Settings, EveryNumberIsBroughtIntoItsRangeOnLoadAndStoredSo) {
    struct Case {
        const char* entry;
        const char* stored;
        std::int32_t CProgramParams::*field;
        std::int32_t loaded;
    };
    const Case cases[] = {
        {"VideoSettings/Brightness", "2147483647", &CProgramParams::Brightness, 255},
        {"VideoSettings/Saturation", "-256", &CProgramParams::Saturation, -255},
        {"VideoSettings/Contrast", "101", &CProgramParams::Contrast, 100},
        {"VideoSettings/AudioBalance", "-2147483648", &CProgramParams::AudioBalance, -100},
        {"GlobalParams/DebugMode", "-5", &CProgramParams::DebugMode, 0},
        {"GlobalParams/DaysKeepHistory", "-1", &CProgramParams::DaysKeepHistory, 0},
        {"GlobalParams/LogDiskSpaceMb", "-40", &CProgramParams::LogDiskSpaceMb, 0},
        // A choice out of range is not the nearest choice but "never on top".
        {"GlobalParams/OnTopStatus", "1000", &CProgramParams::OnTopStatus, 0},
        // The DWORD bit pattern 0xFFFFFFFF is a mask like any other.
        {"GlobalParams/AffinityMask", "4294967295", &CProgramParams::AffinityMask, -1},
    };
    QByteArray text = "[Params]\n"
                      "GlobalParams\\StartInSrcSize=7\n"
                      "GlobalParams\\EnableSaveLog=0\n"
                      "GlobalParams\\ResumePlayback= False \n"
                      "GlobalParams\\EnableScreenSaver=maybe\n";
    for (const Case& c : cases) text += QByteArray(c.entry).replace('/', '\\') + '=' + c.stored + '\n';
    WriteRawFile(text);
    CProgramParams params;
    params.LoadParams();
    for (const Case& c : cases) EXPECT_EQ(params.*c.field, c.loaded) << c.entry << "=" << c.stored;
    EXPECT_TRUE(params.StartInSrcSize) << "any number but 0 is true";
    EXPECT_FALSE(params.EnableSaveLog);
    EXPECT_FALSE(params.ResumePlayback) << "a word is taken as well as a number";
    EXPECT_TRUE(params.EnableScreenSaver) << "an unknown word keeps the default";

    params.SaveParams(true);
    QSettings file = ReadBack();
    file.beginGroup("Params");
    for (const Case& c : cases) EXPECT_EQ(file.value(c.entry).toString(), QString::number(c.loaded)) << c.entry;
    EXPECT_EQ(file.value("GlobalParams/StartInSrcSize").toString(), "1");

    // A value set out of range while running is stored clamped too.
    params.Brightness = -1000;
    params.SaveParams(true);
    EXPECT_EQ(ReadBack().value("Params/VideoSettings/Brightness").toInt(), -255);
}

TEST_F(Settings, GarbageValuesNeverCrashAndLoseOnlyThemselves) {
    WriteRawFile(QByteArray("[Params]\n"
                            "GlobalParams\\OnTopStatus=abc\n"
                            "GlobalParams\\AffinityMask=99999999999999999999\n"
                            "GlobalParams\\DebugMode=@ByteArray(\\x1\\x2)\n"
                            "GlobalParams\\FontName=Arial, Bold\n"
                            "VideoSettings\\Contrast=  12  \n"
                            "VideoSettings\\Brightness=0x10\n"
                            "\x01\x02\xff\xfe garbage line without equals\n"
                            "[Params/RecentList\n"
                            "File1=@Variant(\\0\\0\\0\\x7f)\n") +
                 QByteArray(2000, '\xff'));
    CProgramParams params;
    params.LoadParams();
    EXPECT_EQ(params.OnTopStatus, 0);
    EXPECT_EQ(params.AffinityMask, 15);
    EXPECT_EQ(params.DebugMode, 0);
    EXPECT_EQ(params.FontName, "Arial, Bold");
    EXPECT_EQ(params.Contrast, 12);
    EXPECT_EQ(params.Brightness, 0);
    EXPECT_LE(params.recentFiles.size(), 5);
}

TEST_F(Settings, RecentListSkipsGapsIgnoresNumbersAboveFiveAndIsRewrittenWhole) {
    WriteRawFile("[Params]\nRecentList\\File1=/a/one.mp4\nRecentList\\File3=/a/three.mkv\n"
                 "RecentList\\File4=/4\nRecentList\\File5=/5\nRecentList\\File7=/a/seven.avi\n");
    CProgramParams params;
    params.LoadParams();
    EXPECT_EQ(params.recentFiles, QStringList({"/a/one.mp4", "/a/three.mkv", "/4", "/5"}));

    params.recentFiles = QStringList({"/x", "/y"});
    params.SaveParams(true);
    QSettings file = ReadBack();
    file.beginGroup("Params/RecentList");
    EXPECT_EQ(file.childKeys(), QStringList({"File1", "File2"}));
    EXPECT_EQ(file.value("File2").toString(), "/y");
    params.recentFiles.clear();
    params.SaveParams(true);
    EXPECT_FALSE(ReadBack().contains("Params/RecentList/File1"));
}

TEST_F(Settings, ResetOfTheDefaultHistoryOnlyWhenItIsTheComputedDefault) {
    CProgramParams params;
    params.LoadParams();
    params.SaveParams(false);
    EXPECT_EQ(ReadBack().value("Params/GlobalParams/HistoryDirectory").toString(), params.HistoryDirectory);

    params.HistoryDirectory = params.DefaultHistoryDirectory() + "X";
    params.SaveParams(true);
    EXPECT_EQ(ReadBack().value("Params/GlobalParams/HistoryDirectory").toString(), params.HistoryDirectory);
}

TEST_F(Settings, WithoutAnApplicationStoreNothingIsReadOrWritten) {
    CProfileStore::SetActive(nullptr);
    CProgramParams params;
    params.LoadParams();
    params.FontName = "Changed";
    params.SaveParams(true);
    EXPECT_EQ(params.FontName, "Changed");
    EXPECT_FALSE(QFile::exists(store->FileName()));
}
