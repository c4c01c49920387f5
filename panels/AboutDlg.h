// CAboutDlg: the about box: the program's picture, name and version, the hot-key card beside the executable,
// a link to the maker's site and four picture links to its other pages.
#pragma once

#include "panels/ToolWindow.h"

#include <QString>
#include <array>

class QLabel;
class QPushButton;
class QTextEdit;
class CCustomButton;
class CMFCWebLink;

class CAboutDlg : public CToolWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 465;
    static constexpr int kHeight = 405;
    // The version the box shows after "Version" and in its caption.
    static QString VersionText();

    // owner: the frame it stays above; view: where keys go. Centred over the owner.
    CAboutDlg(QWidget* owner, QWidget* view);

    // The hot-key card's full path: "MediaPlayerHotKeys.txt" in the program folder.
    static QString HotKeysPath();
    // The card's bytes as text in the system's 8-bit encoding; empty (and no message) when it is missing.
    static QString LoadHotKeysText(const QString& path);

    QLabel* picture = nullptr;
    QLabel* versionLabel = nullptr;
    QTextEdit* hotKeys = nullptr;
    CMFCWebLink* siteLink = nullptr;
    std::array<CCustomButton*, 4> pageButtons{};
    QPushButton* closeButton = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};
