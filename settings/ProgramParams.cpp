#include "settings/ProgramParams.h"

#include "settings/ProfileStore.h"

#include <QDir>
#include <QStandardPaths>
#include <cstring>

const QString GlobalParamsKey = QStringLiteral("GlobalParams");
const QString ProgramSkinKey = QStringLiteral("ProgramSkin");
const QString VideoSettingsKey = QStringLiteral("VideoSettings");

// Constructed before main(); the folders are filled in by start-up and LoadParams.
CProgramParams Params;
QString ProgramFolder;
QString DocumentsFolder;

namespace {
const QString ParamsPrefix = QStringLiteral("Params/");
const QString RecentListKey = QStringLiteral("Params/RecentList");

struct Group {
    const QString& key;
    const char* section;
};
const Group Groups[] = {{GlobalParamsKey, "GLOBAL"}, {ProgramSkinKey, "SKIN"}, {VideoSettingsKey, "VSETTING"}};

// Stored integers and CSIZE parts are decimal; anything else is treated as absent.
bool ParseInt(const QString& text, std::int32_t& out) {
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (ok) out = number;
    return ok;
}

template <typename Field>
void CopyBinary(const QByteArray& data, void* field) {
    // A value of another length belongs to something else; writing it would overrun or half-fill the field.
    if (data.size() == static_cast<qsizetype>(sizeof(Field))) std::memcpy(field, data.constData(), sizeof(Field));
}

void ReadVector(const CProfileStore& store, const QString& keyPath, const ParamItem& row) {
    for (int i = 0; i < INT32_MAX; ++i) {
        const QString text = store.GetProfileString(keyPath, row.name + QString::number(i));
        if (text.isEmpty()) break;
        if (row.elementType == QLatin1String("INT")) {
            auto& values = *static_cast<ParamIntVector*>(row.value);
            std::int32_t number = 0;
            if (ParseInt(text, number) && !values.contains(number)) values.append(number);
        } else if (row.elementType == QLatin1String("BOOL")) {
            auto& values = *static_cast<ParamBoolVector*>(row.value);
            if (i == 0) values.clear();
            std::int32_t number = 0;
            values.append(ParseInt(text, number) && number != 0);
        } else if (row.elementType == QLatin1String("STR")) {
            auto& values = *static_cast<ParamStringVector*>(row.value);
            if (!values.contains(text, Qt::CaseSensitive)) values.append(text);
        } else {
            break;
        }
    }
}

// The program writes 1 and 0; a hand-edited file may say "false" or "yes" as well, and a 7 means "on" as much
// as 1 does. Anything else leaves the value as it was.
void ReadBool(const CProfileStore& store, const QString& keyPath, const QString& name, bool& value) {
    const std::int32_t number = store.GetProfileInt(keyPath, name, -999);
    if (number != -999) {
        value = number != 0;
        return;
    }
    const QString word = store.GetProfileString(keyPath, name).trimmed().toLower();
    if (word == QLatin1String("true") || word == QLatin1String("yes") || word == QLatin1String("on"))
        value = true;
    else if (word == QLatin1String("false") || word == QLatin1String("no") || word == QLatin1String("off"))
        value = false;
}

void WriteVector(CProfileStore& store, const QString& keyPath, const ParamItem& row) {
    const auto entry = [&row](qsizetype i) { return row.name + QString::number(i); };
    if (row.elementType == QLatin1String("INT")) {
        const auto& values = *static_cast<const ParamIntVector*>(row.value);
        for (qsizetype i = 0; i < values.size(); ++i) store.WriteProfileInt(keyPath, entry(i), values[i]);
    } else if (row.elementType == QLatin1String("BOOL")) {
        const auto& values = *static_cast<const ParamBoolVector*>(row.value);
        for (qsizetype i = 0; i < values.size(); ++i) store.WriteProfileInt(keyPath, entry(i), values[i] ? 1 : 0);
    } else if (row.elementType == QLatin1String("STR")) {
        const auto& values = *static_cast<const ParamStringVector*>(row.value);
        for (qsizetype i = 0; i < values.size(); ++i) store.WriteProfileString(keyPath, entry(i), values[i]);
    }
}
} // namespace

std::int32_t ParamRange::Apply(std::int32_t number) const {
    if (number >= minimum && number <= maximum) return number;
    if (!clamp) return fallback;
    return number < minimum ? minimum : maximum;
}

CProgramParams::CProgramParams() {
    productName = QStringLiteral("NRX MediaPlayer");
    webSiteAddress = QStringLiteral("https://nrx-mediaplayer.example.org/");
    socialPage1 = QStringLiteral("https://nrx-mediaplayer.example.org/community");
    socialPage2 = QStringLiteral("https://nrx-mediaplayer.example.org/news");
    socialPage3 = QStringLiteral("https://nrx-mediaplayer.example.org/videos");
    socialPage4 = QStringLiteral("https://nrx-mediaplayer.example.org/photos");
    recentFiles.clear();
    AffinityMask = 15;
    HelpFileName = QStringLiteral("NRXMediaPlayer.chm");
    FontName = QStringLiteral("Times New Roman");
    SnapShotFormat = QStringLiteral("BMP");
    SkinFileExtn = QStringLiteral(".png");
    DebugMode = 0;
    OnTopStatus = 0;
    DaysKeepHistory = DAYS_KEEP_HISTORY;
    LogDiskSpaceMb = LOG_DISK_SPACE_MB;
    EnableSaveLog = true;
    EnableScreenSaver = true;
    StartInSrcSize = false;
    ResumePlayback = true;
    SaveFileSizeMb = MIN_SAVE_FILE_SIZE_MB;
    Contrast = Brightness = Saturation = AudioBalance = 0;
    qualityName = QStringLiteral("Low");
    ProgramLogoFile = QStringLiteral("MediaPlayerLogo.jpg");
    SkinFolder = QStringLiteral("\\RedadIzivadSkin");
    ControlSkinFile = QStringLiteral("Control-Skin.jpg");
    TitleSkinFile = QStringLiteral("Title-Skin.jpg");
    ToolsSkinFile = QStringLiteral("VTools-Skin.jpg");
    PlayListSkinFile = QStringLiteral("PlayList-Skin.jpg");
    FileInfoSkin = QStringLiteral("FileInfo-Skin.jpg");
    VolumeFileName = QStringLiteral("Volume.png");
    PlayFileName = QStringLiteral("Play.png");
    StopFileName = QStringLiteral("Stop.png");
    PreviousFile = QStringLiteral("Previous.png");
    NextFileName = QStringLiteral("Next.png");
    SlowFileName = QStringLiteral("Slow.png");
    FastFileName = QStringLiteral("Fast.png");
    VideoFileInfo = QStringLiteral("FileInfo.png");
    PlayListName = QStringLiteral("PlayList.png");
    VideoToolsName = QStringLiteral("VideoTools.png");
    BrightnessName = QStringLiteral("Brightness.png");
    ContrastName = QStringLiteral("Contrast.png");
    SaturationName = QStringLiteral("Saturation.png");
    CloseFileName = QStringLiteral("CloseWindow.png");
    MinimizeName = QStringLiteral("MinimazeWin.png");
    MaximizeName = QStringLiteral("MaximizeWin.png");
    ResetFileName = QStringLiteral("Reset.png");
    AddFile2List = QStringLiteral("AddFile.png");
    RemoveFile4List = QStringLiteral("RemoveFile.png");
    MoveFileUp = QStringLiteral("MoveUp.png");
    MoveFileDown = QStringLiteral("MoveDown.png");
    RemoveAll4List = QStringLiteral("RemoveAll.png");
}

CProgramParams::~CProgramParams() = default;

void CProgramParams::BuildParamTable() {
    const auto row = [](const char* name, const char* type, const char* section, void* field) {
        return ParamItem{QString::fromLatin1(name), QString::fromLatin1(type), QString(), QString::fromLatin1(section),
                         field};
    };
    const auto number = [](const char* name, const char* section, std::int32_t* field, ParamRange range) {
        return ParamItem{QString::fromLatin1(name), QStringLiteral("INT"), QString(), QString::fromLatin1(section),
                         field, range};
    };
    paramTable.reset(new ParamItem[PARAM_COUNT]{
        number("DebugMode", "GLOBAL", &DebugMode, {0, INT32_MAX}),
        number("OnTopStatus", "GLOBAL", &OnTopStatus, {0, ON_TOP_ALWAYS, false, 0}),
        // Every bit pattern names a set of processors; an empty set is ignored when the mask is applied.
        number("AffinityMask", "GLOBAL", &AffinityMask, {}),
        row("HelpFileName", "STR", "GLOBAL", &HelpFileName),
        row("HistoryDirectory", "STR", "GLOBAL", &HistoryDirectory),
        row("FontName", "STR", "GLOBAL", &FontName),
        row("SnapShotFormat", "STR", "GLOBAL", &SnapShotFormat),
        row("SkinFileExtn", "STR", "GLOBAL", &SkinFileExtn),
        row("LastFolderPath", "STR", "GLOBAL", &LastFolderPath),
        number("DaysKeepHistory", "GLOBAL", &DaysKeepHistory, {0, INT32_MAX}),
        number("LogDiskSpaceMb", "GLOBAL", &LogDiskSpaceMb, {0, INT32_MAX}),
        row("EnableSaveLog", "BOOL", "GLOBAL", &EnableSaveLog),
        row("EnableScreenSaver", "BOOL", "GLOBAL", &EnableScreenSaver),
        row("StartInSrcSize", "BOOL", "GLOBAL", &StartInSrcSize),
        row("ResumePlayback", "BOOL", "GLOBAL", &ResumePlayback),
        number("SaveFileSizeMb", "SCREEN", &SaveFileSizeMb,
               {MIN_SAVE_FILE_SIZE_MB, MAX_SAVE_FILE_SIZE_MB, false, MIN_SAVE_FILE_SIZE_MB}),
        number("Contrast", "VSETTING", &Contrast, {-CONTRAST_LIMIT, CONTRAST_LIMIT}),
        number("Brightness", "VSETTING", &Brightness, {-BRIGHTNESS_LIMIT, BRIGHTNESS_LIMIT}),
        number("Saturation", "VSETTING", &Saturation, {-SATURATION_LIMIT, SATURATION_LIMIT}),
        number("AudioBalance", "VSETTING", &AudioBalance, {-AUDIO_BALANCE_LIMIT, AUDIO_BALANCE_LIMIT}),
        row("ProgramLogoFile", "STR", "SKIN", &ProgramLogoFile),
        row("SkinFolder", "STR", "SKIN", &SkinFolder),
        row("ControlSkinFile", "STR", "SKIN", &ControlSkinFile),
        row("TitleSkinFile", "STR", "SKIN", &TitleSkinFile),
        row("ToolsSkinFile", "STR", "SKIN", &ToolsSkinFile),
        row("PlayListSkinFile", "STR", "SKIN", &PlayListSkinFile),
        row("FileInfoSkin", "STR", "SKIN", &FileInfoSkin),
        row("VolumeFileName", "STR", "SKIN", &VolumeFileName),
        row("PlayFileName", "STR", "SKIN", &PlayFileName),
        row("StopFileName", "STR", "SKIN", &StopFileName),
        row("PreviousFile", "STR", "SKIN", &PreviousFile),
        row("NextFileName", "STR", "SKIN", &NextFileName),
        row("SlowFileName", "STR", "SKIN", &SlowFileName),
        row("FastFileName", "STR", "SKIN", &FastFileName),
        row("VideoFileInfo", "STR", "SKIN", &VideoFileInfo),
        row("PlayListName", "STR", "SKIN", &PlayListName),
        row("VideoToolsName", "STR", "SKIN", &VideoToolsName),
        row("BrightnessName", "STR", "SKIN", &BrightnessName),
        row("ContrastName", "STR", "SKIN", &ContrastName),
        row("SaturationName", "STR", "SKIN", &SaturationName),
        row("CloseFileName", "STR", "SKIN", &CloseFileName),
        row("MinimizeName", "STR", "SKIN", &MinimizeName),
        row("MaximizeName", "STR", "SKIN", &MaximizeName),
        row("ResetFileName", "STR", "SKIN", &ResetFileName),
        row("AddFile2List", "STR", "SKIN", &AddFile2List),
        row("RemoveFile4List", "STR", "SKIN", &RemoveFile4List),
        row("MoveFileUp", "STR", "SKIN", &MoveFileUp),
        row("MoveFileDown", "STR", "SKIN", &MoveFileDown),
        row("RemoveAll4List", "STR", "SKIN", &RemoveAll4List),
    });
}

QString CProgramParams::DefaultHistoryDirectory() const {
    return DocumentsFolder + QDir::separator() + productName;
}

void CProgramParams::LoadParams() {
    DocumentsFolder.clear();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty()) DocumentsFolder = QDir::toNativeSeparators(documents);

    BuildParamTable();
    for (const Group& group : Groups)
        ReadParamTable(PARAM_COUNT, paramTable.get(), ParamsPrefix + group.key, QString::fromLatin1(group.section));
    LoadRecentList();
    ValidateParams();
    ReplaceDamagedStore();
}

void CProgramParams::ReplaceDamagedStore() {
    CProfileStore* store = CProfileStore::Active();
    QStringList ownGroups{RecentListKey};
    for (const Group& group : Groups) ownGroups << ParamsPrefix + group.key;
    if (!store || !store->IsDamaged(ownGroups) || !store->SetAside()) return;
    // What could be read stays in force and goes into the clean file now rather than at exit, so the damage
    // is repaired even if this run ends abnormally. Saving empties the default history; the run keeps it.
    const QString history = HistoryDirectory;
    SaveParams(true);
    HistoryDirectory = history;
}

void CProgramParams::SaveParams(bool resetDefaultHistory) {
    // The computed default is not stored, so a later change of the documents folder is followed.
    if (resetDefaultHistory && HistoryDirectory == DefaultHistoryDirectory()) HistoryDirectory.clear();
    SaveRecentList();
    if (!paramTable) BuildParamTable();
    for (const Group& group : Groups)
        WriteParamTable(PARAM_COUNT, paramTable.get(), ParamsPrefix + group.key, QString::fromLatin1(group.section));
    if (CProfileStore* store = CProfileStore::Active()) store->Flush();
}

int CProgramParams::WriteParamTable(int count, ParamItem* table, const QString& keyPath, const QString& section) {
    CProfileStore* store = CProfileStore::Active();
    if (!store || !table) return 0;
    for (int n = 0; n < count; ++n) {
        const ParamItem& row = table[n];
        if (!section.isEmpty() && row.section != section) continue;
        if (row.type == QLatin1String("STR")) {
            store->WriteProfileString(keyPath, row.name, *static_cast<const QString*>(row.value));
        } else if (row.type == QLatin1String("INT")) {
            store->WriteProfileInt(keyPath, row.name, row.range.Apply(*static_cast<const std::int32_t*>(row.value)));
        } else if (row.type == QLatin1String("BOOL")) {
            store->WriteProfileInt(keyPath, row.name, *static_cast<const bool*>(row.value) ? 1 : 0);
        } else if (row.type == QLatin1String("CSIZE")) {
            const auto& size = *static_cast<const ParamSize*>(row.value);
            store->WriteProfileString(keyPath, row.name, QStringLiteral("%1,%2").arg(size.width()).arg(size.height()));
        } else if (row.type == QLatin1String("TIME")) {
            // Only the low 32 bits are kept, as signed decimal, matching the historical stored form.
            const auto seconds = static_cast<std::int32_t>(static_cast<ParamTime*>(row.value)->toSecsSinceEpoch());
            store->WriteProfileString(keyPath, row.name, QString::number(seconds));
        } else if (row.type == QLatin1String("FLOAT")) {
            store->WriteProfileBinary(keyPath, row.name, QByteArray(static_cast<const char*>(row.value), sizeof(float)));
        } else if (row.type == QLatin1String("DOUBLE")) {
            store->WriteProfileBinary(keyPath, row.name, QByteArray(static_cast<const char*>(row.value), sizeof(double)));
        } else if (row.type == QLatin1String("VECTOR")) {
            WriteVector(*store, keyPath, row);
        }
    }
    return 1;
}

int CProgramParams::ReadParamTable(int count, ParamItem* table, const QString& keyPath, const QString& section) {
    CProfileStore* store = CProfileStore::Active();
    if (!store || !table) return 0;
    for (int n = 0; n < count; ++n) {
        const ParamItem& row = table[n];
        if (!section.isEmpty() && row.section != section) continue;
        if (row.type == QLatin1String("INT")) {
            const std::int32_t number = store->GetProfileInt(keyPath, row.name, -999);
            if (number != -999) *static_cast<std::int32_t*>(row.value) = row.range.Apply(number);
        } else if (row.type == QLatin1String("BOOL")) {
            ReadBool(*store, keyPath, row.name, *static_cast<bool*>(row.value));
        } else if (row.type == QLatin1String("STR")) {
            const QString text = store->GetProfileString(keyPath, row.name);
            if (!text.isEmpty()) *static_cast<QString*>(row.value) = text;
        } else if (row.type == QLatin1String("TIME")) {
            bool ok = false;
            const qint64 seconds = store->GetProfileString(keyPath, row.name).trimmed().toLongLong(&ok);
            if (ok) *static_cast<ParamTime*>(row.value) = QDateTime::fromSecsSinceEpoch(seconds);
        } else if (row.type == QLatin1String("CSIZE")) {
            const QString text = store->GetProfileString(keyPath, row.name);
            const qsizetype comma = text.indexOf(QLatin1Char(','));
            std::int32_t cx = 0, cy = 0;
            if (comma < 0 || !ParseInt(text.left(comma), cx)) continue;
            // The height ends at the first space, so trailing notes after it are tolerated.
            if (!ParseInt(text.mid(comma + 1).section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty), cy)) continue;
            *static_cast<ParamSize*>(row.value) = ParamSize(cx, cy);
        } else if (row.type == QLatin1String("FLOAT") || row.type == QLatin1String("DOUBLE")) {
            QByteArray data;
            if (!store->GetProfileBinary(keyPath, row.name, data)) continue;
            if (row.type == QLatin1String("FLOAT"))
                CopyBinary<float>(data, row.value);
            else
                CopyBinary<double>(data, row.value);
        } else if (row.type == QLatin1String("VECTOR")) {
            ReadVector(*store, keyPath, row);
        }
    }
    return 1;
}

void CProgramParams::LoadRecentList() {
    CProfileStore* store = CProfileStore::Active();
    if (!store) return;
    for (int i = 1; i <= MAX_RECENT_FILES; ++i) {
        const QString path = store->GetProfileString(RecentListKey, QStringLiteral("File%1").arg(i));
        if (!path.isEmpty()) recentFiles.append(path);
    }
}

void CProgramParams::SaveRecentList() {
    CProfileStore* store = CProfileStore::Active();
    if (!store) return;
    store->DeleteKey(RecentListKey);
    for (qsizetype i = 0; i < recentFiles.size(); ++i)
        store->WriteProfileString(RecentListKey, QStringLiteral("File%1").arg(i + 1), recentFiles[i]);
}

void CProgramParams::ValidateParams() {
    if (HistoryDirectory.isEmpty()) HistoryDirectory = DocumentsFolder.isEmpty() ? ProgramFolder : DefaultHistoryDirectory();
    // Also the rows no load visits, so every number the program starts with is inside its row's range.
    if (!paramTable) BuildParamTable();
    for (int n = 0; n < PARAM_COUNT; ++n) {
        const ParamItem& row = paramTable[n];
        if (row.type == QLatin1String("INT")) {
            auto& field = *static_cast<std::int32_t*>(row.value);
            field = row.range.Apply(field);
        }
    }
}
