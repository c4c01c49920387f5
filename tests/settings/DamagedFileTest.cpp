// A settings file the program cannot have written is kept aside as "<file>.bad" and replaced by a clean one;
// a valid file, however oddly edited, is never moved.
#include "SettingsFixture.h"

#include <QRandomGenerator>

namespace {
QByteArray RandomBytes(qsizetype size, quint32 seed) {
    QRandomGenerator generator(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator.bounded(256));
    return bytes;
}
} // namespace

class DamagedSettings : public SettingsFixture {
protected:
    QString File() const { return store->FileName(); }
    QString Kept() const { return store->FileName() + ".bad"; }

    // One program start: a fresh store over the file, then the load.
    void Start() {
        OpenStore();
        CProgramParams params;
        params.LoadParams();
    }
};

TEST_F(DamagedSettings, RandomBytesAreKeptAsideAndACleanFileTakesTheirPlace) {
    const QByteArray junk = RandomBytes(4096, 7);
    WriteRawFile(junk);
    const QString file = File(), kept = Kept();
    CProgramParams params;
    params.LoadParams();

    EXPECT_EQ(ReadFile(kept), junk);
    EXPECT_EQ(params.FontName, "Times New Roman");
    QSettings clean = ReadBack();
    EXPECT_EQ(clean.status(), QSettings::NoError);
    EXPECT_EQ(clean.childGroups(), QStringList({"Params"}));
    EXPECT_TRUE(clean.childKeys().isEmpty());
    EXPECT_EQ(clean.value("Params/GlobalParams/FontName").toString(), "Times New Roman");
    EXPECT_EQ(clean.value("Params/VideoSettings/Brightness").toString(), "0");

    // The next start finds a valid file: nothing is moved or rewritten.
    const QByteArray written = ReadFile(file);
    Start();
    EXPECT_EQ(ReadFile(file), written);
    EXPECT_EQ(ReadFile(kept), junk);
}

TEST_F(DamagedSettings, OnlyFilesHoldingWhatTheProgramNeverWritesAreMoved) {
    const struct {
        const char* what;
        QByteArray text;
        bool damaged;
    } cases[] = {
        {"empty file", "", false},
        {"bad values", "[Params]\nVideoSettings\\Brightness=abc\nGlobalParams\\OnTopStatus=99\n", false},
        {"a comment", "; hand-edited\n[Params]\nGlobalParams\\FontName=Arial\n", false},
        {"a stray value in an own group", "[Params]\nVideoSettings\\Gamma=3\n", false},
        {"Windows line ends and a tab", "[Params]\r\nGlobalParams\\FontName=\tArial\r\n", false},
        {"non-ASCII text", "[Params]\nGlobalParams\\LastFolderPath=/v/\xc3\xa9t\xc3\xa9 \xe9\n", false},
        {"an unclosed section", "[Params\nGlobalParams\\FontName=Arial\n", true},
        {"a line that is no entry", "[Params]\nGlobalParams\\FontName=Arial\nnot an entry\n", true},
        {"a foreign top-level value", "[General]\nfoo=1\n[Params]\nGlobalParams\\FontName=Arial\n", true},
        {"a foreign group under Params", "[Params]\nOther\\x=1\n", true},
        {"a NUL byte", QByteArray("[Params]\nGlobalParams\\FontName=Ar").append('\0').append("ial\n"), true},
        {"random bytes", RandomBytes(512, 11), true},
    };
    for (const auto& c : cases) {
        QFile::remove(Kept());
        WriteRawFile(c.text);
        CProgramParams params;
        params.LoadParams();
        EXPECT_EQ(QFile::exists(Kept()), c.damaged) << c.what;
        if (c.damaged) EXPECT_EQ(ReadFile(Kept()), c.text) << c.what;
        else EXPECT_EQ(ReadFile(File()), c.text) << c.what << ": a load alone never writes a valid file";
    }
}

TEST_F(DamagedSettings, WhatCouldBeReadGoesIntoTheCleanFile) {
    WriteRawFile("[General]\nstray=1\n[Params]\nGlobalParams\\FontName=DejaVu Sans\nVideoSettings\\Contrast=500\n"
                 "RecentList\\File1=/v/a.mp4\n");
    CProgramParams params;
    params.LoadParams();
    ASSERT_TRUE(QFile::exists(Kept()));
    EXPECT_FALSE(params.HistoryDirectory.isEmpty()) << "the clean save does not empty it for this run";
    QSettings clean = ReadBack();
    EXPECT_EQ(clean.value("Params/GlobalParams/HistoryDirectory").toString(), "");
    EXPECT_FALSE(clean.contains("stray"));
    EXPECT_EQ(clean.value("Params/GlobalParams/FontName").toString(), "DejaVu Sans");
    EXPECT_EQ(clean.value("Params/VideoSettings/Contrast").toInt(), 100);
    EXPECT_EQ(clean.value("Params/RecentList/File1").toString(), "/v/a.mp4");
}

TEST_F(DamagedSettings, ANewerDamagedFileReplacesTheOlderKeptOne) {
    WriteRawFile("[General]\nfirst=1\n");
    Start();
    WriteRawFile("[General]\nsecond=2\n");
    Start();
    EXPECT_EQ(ReadFile(Kept()), "[General]\nsecond=2\n");
    EXPECT_FALSE(QFile::exists(Kept() + ".bad"));
}
