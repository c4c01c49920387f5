// CProgramSkin: the current skin's panel folders, logo path and the one font all skinned text is drawn in.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <memory>

// Suffixes that name a button's second look beside its first image.
inline const QString PauseImageSuffix = QStringLiteral(" - Pause");
inline const QString MuteImageSuffix = QStringLiteral(" - Mute");
inline const QString RestoreImageSuffix = QStringLiteral(" - Restore");

class CProgramSkin {
public:
    // Registers itself as the current skin.
    CProgramSkin();
    ~CProgramSkin();
    CProgramSkin(const CProgramSkin&) = delete;
    CProgramSkin& operator=(const CProgramSkin&) = delete;

    // The skin the panels draw from; null until one exists. Panels load nothing while it is null.
    static CProgramSkin* Current();
    // ProgramFolder + SkinFolder, with either separator in the stored folder accepted.
    static QString SettingsSkinRoot();
    // The second-state image beside firstImagePath: its path up to the last '.', suffix, SkinFileExtn.
    static QString SecondStateImage(const QString& firstImagePath, const QString& suffix);

    // Sets up the panel folders from the first sub-folder of root; false (folders untouched) when root is
    // empty, cannot be listed or has no sub-folder.
    bool LoadSkin(const QString& root);
    // Lists the sub-folders of root (links to folders included, nothing else) in the file system's order;
    // false when root cannot be listed.
    bool EnumSkinFolders(const QString& root);
    // (Re)creates the text font from FontName at fontSize points, bold; false when no font could be made.
    bool CreateSkinFonts();

    // Every folder ends with a separator, so panels append a bare file name.
    QString GetTitleFolder() const { return titleFolder; }
    QString GetControlFolder() const { return controlFolder; }
    QString GetToolsFolder() const { return toolsFolder; }
    QString GetPlayListFolder() const { return playListFolder; }
    QString GetFileInfoFolder() const { return fileInfoFolder; }
    QString GetCommonFolder() const { return commonFolder; }

    // The text font at another pixel height, for controls that need a smaller or larger version of it.
    QFont TextFontWithPixelHeight(int pixelHeight) const;

    QString titleFolder, controlFolder, toolsFolder, playListFolder, fileInfoFolder, commonFolder;
    QString logoPath;
    QStringList skinNames;
    std::unique_ptr<QFont> textFont; // null until CreateSkinFonts succeeds
    int textFontPixelHeight = 0;     // em height of textFont in pixels on the main window's screen
    int selectedSkin = 0;
    float fontSize = 10.0f; // points
    bool loaded = false;
};
