// CFileInfoDlg: the file information window: the open file's name, frame size, frame rate, duration, aspect
// ratio and size on disk as yellow text on black, under a skinned "Video File Info" header.
#pragma once

#include "panels/ToolWindow.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextOption>
#include <cstdint>
#include <optional>

class QTextEdit;
class CCustomButton;

// What the report says about one open file.
struct FileInfoFacts {
    QString name;                       // without its folder, never shortened
    int width = 0, height = 0;          // frame size in pixels
    float frameRate = 0;                // frames per second
    std::int64_t duration = 0;          // whole seconds
    std::optional<std::int64_t> bytes;  // none when the file's status cannot be read (deleted, say)
};

// The report's lines after the name and separator, each ending in a line break: width, height, frame rate,
// duration, aspect ratio and, when the size is known, the size in GiB.
QStringList FileInfoLines(const FileInfoFacts& facts);
// The whole report for an open file (name, separator, lines), or the no-file text when facts is empty.
QString FileInfoReport(const std::optional<FileInfoFacts>& facts);

class CFileInfoDlg : public CToolWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 450;

    // owner: the frame it stays above (centred over it); view: where keys go. Rebuilds its report whenever a file opens while
    // it is visible.
    CFileInfoDlg(QWidget* owner, QWidget* view);

    // The report anew from the file open now: empty without a player, the no-file text without a file.
    void RebuildReport();
    QString ReportText() const;

    CCustomButton* closeButton = nullptr;
    QTextEdit* report = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Tab stops that line the values up whatever the font's label widths are.
    void SetReportTabs();

    QList<QTextOption::Tab> tabs;
};
