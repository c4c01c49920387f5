// CPlayListDlg: the playlist as a skinned tool window: one row per entry with its file name and duration,
// the current entry marked; double-click plays an entry, the buttons add files, remove one or all entries
// and move an entry up or down.
//
// The document creates it (the File List command), owns it and tells it when the playlist was replaced or
// grown (PlayListChanged) and when the current entry moved (CurrentFileChanged); it acts on those only
// while shown and refills itself whenever it is shown. It reads and changes the player's playlist itself
// and runs the document's commands (play an entry, Close File) through CMediaPlayerDoc::Instance().
// Durations not known yet show "--:--:--" and are filled in as a background probe finds them. UI thread only.
#pragma once

#include "panels/ToolWindow.h"

#include <QHash>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

class CCustomButton;
class CCustomListCtrl;
class CDurationProbe;
class CListCtrlModel;
class CPlayList;

// The Time column's text: the duration as a clock, or "--:--:--" while it is not known (0).
QString PlayListTimeText(std::int64_t seconds);

class CPlayListDlg : public CToolWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 505;
    static constexpr int kTimeColumnWidth = 65;

    // owner: the main frame it stays above; view: the main view, which gets keys and wheel turns.
    CPlayListDlg(QWidget* owner, QWidget* view);
    ~CPlayListDlg() override;

    // Rebuilds every row from the playlist, marks the current entry and asks for unknown durations.
    void FillList();
    // Marks the current entry and shows its duration.
    void UpdateCurrentRow();

    // The buttons' and the list's actions (public for the tests, which press them as the user does).
    void OnAdd();
    void OnRemove();
    void OnRemoveAll();
    void OnMoveUp() { MoveSelected(-1); }
    void OnMoveDown() { MoveSelected(+1); }
    void OnRowDoubleClicked(int row);

    // The selected row; -1 when none is.
    int SelectedRow() const;
    // The background probe; null until something needed probing.
    const CDurationProbe* Probe() const { return probe.get(); }

    CCustomListCtrl* list = nullptr;
    CListCtrlModel* model = nullptr;
    CCustomButton* closeButton = nullptr;
    CCustomButton* addButton = nullptr;
    CCustomButton* removeButton = nullptr;
    CCustomButton* removeAllButton = nullptr;
    CCustomButton* upButton = nullptr;
    CCustomButton* downButton = nullptr;

public slots:
    // The document's notices; ignored while hidden (showing refills the list anyway).
    void PlayListChanged();
    void CurrentFileChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CCustomButton* MakeButton(const QString& file, const QString& toolTip, QSize size, void (CPlayListDlg::*action)());
    void LayoutControls();
    // Column 0 takes what column 1 leaves, less the scroll bar while the rows overflow the list.
    void AdjustNameColumn();
    // Moves the selected entry by one place (-1 up, +1 down); current follows its entry.
    void MoveSelected(int step);
    // Hands the entries whose duration is still unknown to the probe.
    void ProbeUnknownDurations();
    void ApplyDurations(const QHash<QString, qint64>& seconds);
    // Gives entries still at 0 the durations already found for the same file (an entry added again, a list
    // replaced by one with the same files), so no file is probed twice.
    void ApplyKnownDurations();
    // The player's playlist; null without a player.
    static CPlayList* PlayList();
    // Near the owner: beside its right edge when the screen has room there, else beside its left edge.
    void PlaceBesideOwner();

    std::unique_ptr<CDurationProbe> probe;
    QHash<QString, qint64> knownDurations; // every duration the probe found, by path
};
