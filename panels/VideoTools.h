// CVideoTools: the video tools window: a close button over a tab strip whose "Image" and "Sound" tabs show the
// picture page (brightness, contrast, saturation) or the sound page (audio balance).
#pragma once

#include "panels/ToolWindow.h"

#include <QStringList>

class CCustomButton;
class CCustomTabCtrl;
class CSoundDlg;
class CVideoDlg;

class CVideoTools : public CToolWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 150;
    static constexpr int kBorder = 1;      // a window border's width, which the layout is counted in
    static constexpr int kCloseSide = 15;
    static constexpr int kTabWidth = 70;
    static constexpr int kTabHeight = 20;

    // owner: the frame it stays above; view: where keys and wheel turns go. Centred over the owner.
    CVideoTools(QWidget* owner, QWidget* view);
    ~CVideoTools() override;

    // The single tools window while it exists; null otherwise.
    static CVideoTools* Instance();

    // The sliders follow the picture settings after the keyboard or menu changed them (command 2000).
    void ReloadFromSettings();
    // Shows the page of the tab selected now (a click on the tab strip, and once at start).
    void ShowSelectedPage();

    CCustomButton* closeButton = nullptr;
    CCustomTabCtrl* tabControl = nullptr;
    CVideoDlg* imagePage = nullptr;
    CSoundDlg* soundPage = nullptr;
    int selectedTab = 0;
    int lastShownTab = -1;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();
    // Where the shown page goes: the tab strip's body less the tabs and a margin.
    QRect PageRect() const;
};
