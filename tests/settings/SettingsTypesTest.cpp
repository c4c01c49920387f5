// The five value types the program's own table does not use, through the same generic reader and writer.
#include "SettingsFixture.h"

#include <cstring>

namespace {
struct Fields {
    float ratio = 0;
    double position = 0;
    ParamTime when;
    ParamSize size;
    ParamIntVector ints;
    ParamBoolVector flags;
    ParamStringVector names;
};

std::vector<ParamItem> TableFor(Fields& f) {
    return {
        {"Ratio", "FLOAT", "", "VSETTING", &f.ratio},
        {"Position", "DOUBLE", "", "VSETTING", &f.position},
        {"When", "TIME", "", "VSETTING", &f.when},
        {"Size", "CSIZE", "", "VSETTING", &f.size},
        {"Ints", "VECTOR", "INT", "VSETTING", &f.ints},
        {"Flags", "VECTOR", "BOOL", "VSETTING", &f.flags},
        {"Names", "VECTOR", "STR", "VSETTING", &f.names},
        {"Odd", "NOSUCH", "", "VSETTING", nullptr},
    };
}

const QString Key = QStringLiteral("Params/VideoSettings");

// Both go through a table over the given fields, so each call sees their values at that moment.
int Write(Fields& f, const QString& section = {}) {
    auto table = TableFor(f);
    return CProgramParams().WriteParamTable(int(table.size()), table.data(), Key, section);
}
int Read(Fields& f, const QString& section = {}) {
    auto table = TableFor(f);
    return CProgramParams().ReadParamTable(int(table.size()), table.data(), Key, section);
}
} // namespace

using SettingsTypes = SettingsFixture;

TEST_F(SettingsTypes, EveryTypeRoundTripsThroughTheFile) {
    Fields out;
    out.ratio = 1.5f;
    out.position = -1234.000125;
    out.when = QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58));
    out.size = ParamSize(1920, -1080);
    out.ints = {3, -7, 0};
    out.flags = {true, false, true};
    out.names = {"A", "", "c d"};
    ASSERT_EQ(Write(out, "VSETTING"), 1);
    ASSERT_TRUE(store->Flush());
    OpenStore();

    Fields in;
    ASSERT_EQ(Read(in), 1);
    EXPECT_EQ(in.ratio, 1.5f);
    EXPECT_EQ(in.position, -1234.000125);
    EXPECT_EQ(in.when, out.when);
    EXPECT_EQ(in.size, ParamSize(1920, -1080));
    EXPECT_EQ(in.ints, ParamIntVector({3, -7, 0}));
    EXPECT_EQ(in.flags, ParamBoolVector({true, false, true}));
    EXPECT_EQ(in.names, ParamStringVector({"A"})) << "an empty element ends the vector";

    QSettings file = ReadBack();
    EXPECT_EQ(file.value(Key + "/Size").toString(), "1920,-1080");
    EXPECT_EQ(file.value(Key + "/When").toString(), QString::number(out.when.toSecsSinceEpoch()));
    EXPECT_EQ(file.value(Key + "/Ints1").toInt(), -7);
    EXPECT_EQ(file.value(Key + "/Ratio").toByteArray().size(), 4);
}

TEST_F(SettingsTypes, BinaryValuesOfTheWrongLengthAreIgnored) {
    store->WriteProfileBinary(Key, "Ratio", QByteArray(8, '\x7f'));
    store->WriteProfileBinary(Key, "Position", QByteArray(3, '\x01'));
    store->WriteProfileString(Key, "Size", "garbage");
    store->WriteProfileString(Key, "When", "not a number");
    Fields in;
    in.ratio = 2.0f;
    in.position = 4.0;
    in.size = ParamSize(5, 6);
    in.when = QDateTime(QDate(2000, 1, 1), QTime(0, 0));
    Read(in);
    EXPECT_EQ(in.ratio, 2.0f);
    EXPECT_EQ(in.position, 4.0);
    EXPECT_EQ(in.size, ParamSize(5, 6));
    EXPECT_EQ(in.when, QDateTime(QDate(2000, 1, 1), QTime(0, 0)));

    // A text where bytes are expected is not binary at all.
    store->WriteProfileString(Key, "Ratio", "abcd");
    Read(in);
    EXPECT_EQ(in.ratio, 2.0f);
}

TEST_F(SettingsTypes, CsizeTakesTheHeightUpToTheFirstSpace) {
    store->WriteProfileString(Key, "Size", "640,480 trailing words");
    Fields in;
    Read(in);
    EXPECT_EQ(in.size, ParamSize(640, 480));
}

TEST_F(SettingsTypes, VectorsMergeIntAndStringButReplaceBool) {
    store->WriteProfileString(Key, "Names0", "A");
    store->WriteProfileString(Key, "Names1", "B");
    store->WriteProfileInt(Key, "Ints0", 5);
    store->WriteProfileInt(Key, "Ints1", 9);
    store->WriteProfileString(Key, "Ints2", "x"); // unreadable element: skipped, reading goes on
    store->WriteProfileInt(Key, "Ints3", 11);
    store->WriteProfileInt(Key, "Flags0", 0);
    store->WriteProfileInt(Key, "Flags1", 1);

    Fields in;
    in.names = {"A"};
    in.ints = {9, 1};
    in.flags = {true, true, true, true};
    Read(in, "VSETTING");
    EXPECT_EQ(in.names, ParamStringVector({"A", "B"}));
    EXPECT_EQ(in.ints, ParamIntVector({9, 1, 5, 11}));
    EXPECT_EQ(in.flags, ParamBoolVector({false, true}));
}

TEST_F(SettingsTypes, ShorterVectorsLeaveEarlierTrailingElementsStored) {
    Fields out;
    out.names = {"a", "b", "c"};
    Write(out);
    out.names = {"z"};
    Write(out);

    Fields in;
    Read(in);
    EXPECT_EQ(in.names, ParamStringVector({"z", "b", "c"}));
}

TEST_F(SettingsTypes, RowsOfOtherSectionsAreLeftAlone) {
    Fields out;
    out.ratio = 3.0f;
    Write(out, "GLOBAL");
    EXPECT_FALSE(ReadBack().contains(Key + "/Ratio"));
}
