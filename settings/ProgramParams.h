// CProgramParams: the one process-wide settings object. Every persistent value is a public field named as
// its stored value; a table of ParamItem rows drives the generic reader and writer over the settings store.
#pragma once

#include <QDateTime>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <memory>

// The values an INT row may hold. The file can be edited by hand, so what is read is never trusted: a number
// outside the range is clamped to the nearer end; for a row that names a choice rather than an amount, the
// nearer end would be some other choice than the one asked for, so such a row falls back to a fixed value.
struct ParamRange {
    std::int32_t minimum = INT32_MIN;
    std::int32_t maximum = INT32_MAX;
    bool clamp = true;
    std::int32_t fallback = 0; // used instead of clamping when clamp is false

    std::int32_t Apply(std::int32_t number) const;
};

// One row of the parameter table: which field, under which name, type and section it is stored.
struct ParamItem {
    QString name;        // stored value name, e.g. "OnTopStatus"
    QString type;        // "INT", "STR", "BOOL", "FLOAT", "DOUBLE", "TIME", "CSIZE" or "VECTOR"
    QString elementType; // for "VECTOR": "INT", "BOOL" or "STR"; empty otherwise
    QString section;     // "GLOBAL", "SCREEN", "VSETTING" or "SKIN"
    void* value;         // the field; what it points to follows from type (see ProgramParams.cpp)
    ParamRange range{};  // for "INT" rows: applied on every read, write and validation
};

// Field types behind the "TIME", "CSIZE" and "VECTOR" rows.
using ParamTime = QDateTime;            // local calendar date and time
using ParamSize = QSize;                // cx = width(), cy = height()
using ParamIntVector = QVector<std::int32_t>;
using ParamBoolVector = QVector<bool>;
using ParamStringVector = QStringList;

// Named limits and defaults.
inline constexpr std::int32_t DAYS_KEEP_HISTORY = 1;
inline constexpr std::int32_t LOG_DISK_SPACE_MB = 10;
inline constexpr std::int32_t MIN_SAVE_FILE_SIZE_MB = 100;
inline constexpr std::int32_t MAX_SAVE_FILE_SIZE_MB = 1000;
inline constexpr int PARAM_COUNT = 49;
// The picture and sound adjustments run from -limit to +limit, as their commands and sliders do.
inline constexpr std::int32_t BRIGHTNESS_LIMIT = 255;
inline constexpr std::int32_t SATURATION_LIMIT = 255;
inline constexpr std::int32_t CONTRAST_LIMIT = 100;
inline constexpr std::int32_t AUDIO_BALANCE_LIMIT = 100;
inline constexpr std::int32_t ON_TOP_ALWAYS = 2; // highest on-top mode: 0 never, 1 while playing, 2 always
inline constexpr int MAX_RECENT_FILES = 5;

extern const QString GlobalParamsKey;   // "GlobalParams"
extern const QString ProgramSkinKey;    // "ProgramSkin"
extern const QString VideoSettingsKey;  // "VideoSettings"

class CProgramParams {
public:
    CProgramParams();
    ~CProgramParams();
    CProgramParams(const CProgramParams&) = delete;
    CProgramParams& operator=(const CProgramParams&) = delete;

    void LoadParams();
    void SaveParams(bool resetDefaultHistory);
    // Return 0 when there is no application store or no table, 1 otherwise.
    int WriteParamTable(int count, ParamItem* table, const QString& keyPath, const QString& section);
    int ReadParamTable(int count, ParamItem* table, const QString& keyPath, const QString& section);
    void LoadRecentList();
    void SaveRecentList();
    void ValidateParams();
    // A settings file holding what this program never writes is kept aside and replaced by a clean one
    // (see CProfileStore::IsDamaged); a valid file is never touched.
    void ReplaceDamagedStore();
    void BuildParamTable();
    // Documents folder + separator + product name: where history goes when nothing else is chosen.
    QString DefaultHistoryDirectory() const;

    std::unique_ptr<ParamItem[]> paramTable; // null until the first load

    QString productName;
    QString webSiteAddress;
    QString socialPage1, socialPage2, socialPage3, socialPage4;
    QStringList recentFiles; // oldest first, at most MAX_RECENT_FILES

    std::int32_t DebugMode = 0;
    std::int32_t OnTopStatus = 0;  // 0 never, 1 while playing, 2 always
    std::int32_t AffinityMask = 0;
    std::int32_t Contrast = 0;     // -100..100
    std::int32_t Brightness = 0;   // -255..255
    std::int32_t Saturation = 0;   // -255..255
    std::int32_t AudioBalance = 0; // -100..100
    QString HelpFileName, HistoryDirectory, FontName, SnapShotFormat, SkinFileExtn, LastFolderPath;
    std::int32_t DaysKeepHistory = 0;
    std::int32_t LogDiskSpaceMb = 0;
    bool EnableSaveLog = false;
    bool EnableScreenSaver = false;
    bool StartInSrcSize = false;
    bool ResumePlayback = true; // reopened files continue where they were left
    QString ProgramLogoFile, SkinFolder;
    QString ControlSkinFile, TitleSkinFile, ToolsSkinFile, PlayListSkinFile, FileInfoSkin;
    QString VolumeFileName, PlayFileName, StopFileName, PreviousFile, NextFileName, SlowFileName, FastFileName;
    QString VideoFileInfo, PlayListName, VideoToolsName;
    QString BrightnessName, ContrastName, SaturationName;
    QString CloseFileName, MinimizeName, MaximizeName, ResetFileName;
    QString AddFile2List, RemoveFile4List, MoveFileUp, MoveFileDown, RemoveAll4List;
    QString qualityName; // "Low", "Middle" or "High"; not stored
    std::int32_t SaveFileSizeMb = 0;
};

// The process-wide instances (constructed during static initialisation).
extern CProgramParams Params;
extern QString ProgramFolder;   // folder of the executable, no trailing separator
extern QString DocumentsFolder; // the user's documents folder, empty when unknown
