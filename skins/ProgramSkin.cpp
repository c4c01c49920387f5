#include "skins/ProgramSkin.h"

#include "settings/ProgramParams.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace {
CProgramSkin* currentSkin = nullptr;

// Stored folders were written with backslashes; this platform's separator is what the file system takes.
QString WithPlatformSeparators(QString path) {
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::toNativeSeparators(path);
}

QString StripTrailingSeparators(QString path) {
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator()))) path.chop(1);
    return path;
}

bool OnlyDots(const QString& name) {
    for (QChar c : name)
        if (c != QLatin1Char('.')) return false;
    return true;
}

// Logical dots per inch of the surface the text will be drawn on: the main window's screen when it exists.
qreal SurfaceDpi() {
    if (const QWidget* window = QApplication::activeWindow()) return window->logicalDpiY();
    for (const QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible()) return widget->logicalDpiY();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}
} // namespace

CProgramSkin::CProgramSkin() { currentSkin = this; }

CProgramSkin::~CProgramSkin() {
    if (currentSkin == this) currentSkin = nullptr;
}

CProgramSkin* CProgramSkin::Current() { return currentSkin; }

QString CProgramSkin::SettingsSkinRoot() { return WithPlatformSeparators(ProgramFolder + Params.SkinFolder); }

QString CProgramSkin::SecondStateImage(const QString& firstImagePath, const QString& suffix) {
    const qsizetype dot = firstImagePath.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? QString() : firstImagePath.left(dot);
    return stem + suffix + Params.SkinFileExtn;
}

bool CProgramSkin::LoadSkin(const QString& root) {
    if (root.isEmpty()) return false;
    loaded = false;
    skinNames.clear();
    selectedSkin = 0;
    const QString base = StripTrailingSeparators(WithPlatformSeparators(root));
    if (!EnumSkinFolders(base) || skinNames.isEmpty()) return false;

    const QString sep = QDir::separator();
    const QString skin = base + sep + skinNames.at(selectedSkin) + sep;
    titleFolder = skin + QStringLiteral("VideoTitle") + sep;
    controlFolder = skin + QStringLiteral("VideoControl") + sep;
    toolsFolder = skin + QStringLiteral("VideoTools") + sep;
    playListFolder = skin + QStringLiteral("PlayList") + sep;
    fileInfoFolder = skin + QStringLiteral("FileInfo") + sep;
    commonFolder = skin + QStringLiteral("Common") + sep;
    logoPath = base + sep + Params.ProgramLogoFile;
    loaded = true;
    CreateSkinFonts();
    return loaded;
}

bool CProgramSkin::EnumSkinFolders(const QString& root) {
    skinNames.clear();
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable()) return false;
    const QDir dir(root);
    // Unsorted keeps the file system's own order; hidden folders are skins too. Only folders count (a link
    // to one too): a broken link, a pipe or a socket in the root would otherwise become the chosen skin.
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Dirs | QDir::Hidden, QDir::Unsorted))
        if (entry.isDir() && !OnlyDots(entry.fileName())) skinNames.append(entry.fileName());
    return true;
}

bool CProgramSkin::CreateSkinFonts() {
    textFont.reset();
    textFontPixelHeight = 0;
    // Fonts need the windowing system; without it there is simply no skin font.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;

    auto font = std::make_unique<QFont>();
    if (QFontDatabase::hasFamily(Params.FontName)) {
        font->setFamily(Params.FontName);
    } else {
        font->setStyleHint(QFont::SansSerif);
        font->setFamily(QStringLiteral("sans-serif"));
    }
    font->setPointSizeF(fontSize);
    font->setBold(true);
    textFontPixelHeight = static_cast<int>(std::lround(fontSize * SurfaceDpi() / 72.0));
    textFont = std::move(font);
    return true;
}

QFont CProgramSkin::TextFontWithPixelHeight(int pixelHeight) const {
    QFont font = textFont ? *textFont : QFont();
    if (pixelHeight > 0) font.setPixelSize(pixelHeight);
    return font;
}
