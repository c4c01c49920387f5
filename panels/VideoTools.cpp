#include "panels/VideoTools.h"

#include "controls/CustomButton.h"
#include "controls/CustomTabCtrl.h"
#include "document/Guarded.h"
#include "panels/VideoToolPages.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"

#include <QPainter>

namespace {
CVideoTools* instance = nullptr;
const QStringList TabNames{QStringLiteral("Image"), QStringLiteral("Sound")};
} // namespace

CVideoTools* CVideoTools::Instance() { return instance; }

CVideoTools::CVideoTools(QWidget* owner, QWidget* view) : CToolWindow(owner, view) {
    instance = this;
    setWindowTitle(QStringLiteral("Video Tools"));
    const CProgramSkin* skin = CProgramSkin::Current();
    if (skin) SetSkinImage(skin->GetToolsFolder() + Params.ToolsSkinFile);
    resize(kWidth, kHeight);
    if (owner) move(owner->geometry().center() - rect().center());

    closeButton = MakeCloseButton(QStringLiteral("Close Tools"), QSize(kCloseSide, kCloseSide));

    tabControl = new CCustomTabCtrl(this);
    tabControl->SetMinTabWidth(kTabWidth);
    tabControl->SetItemSize(QSize(kTabWidth, kTabHeight));
    tabControl->parentImage = SkinImageForControls();
    tabControl->itemFill = QColor(0x32, 0x32, 0x32);
    tabControl->textColor = Qt::white;
    tabControl->selectedTextColor = Qt::white;
    tabControl->tabFont = MakeControlFont(Params.FontName, 10, false);
    // Keys stay the player's hot keys: the strip is chosen with the mouse only.
    tabControl->setFocusPolicy(Qt::NoFocus);
    for (const QString& name : TabNames) tabControl->addTab(name);

    imagePage = new CVideoDlg(this, view);
    soundPage = new CSoundDlg(this, view);
    imagePage->hide();
    soundPage->hide();
    connect(tabControl, &QTabBar::currentChanged, this, [this] { Guarded([this] { ShowSelectedPage(); }); });
    ShowSelectedPage();
    Layout();
}

CVideoTools::~CVideoTools() {
    if (instance == this) instance = nullptr;
}

void CVideoTools::ReloadFromSettings() {
    if (imagePage) imagePage->ReloadFromSettings();
}

QRect CVideoTools::PageRect() const {
    // The body under the tabs, one border and a pixel below them, inset by a pixel and a border all round.
    QRect body(kBorder / 2, 3 * kBorder + closeButton->height(), width() - kBorder + 1,
               height() - 3 * kBorder - closeButton->height());
    body.setTop(body.top() + kTabHeight + kBorder + 1);
    return body.adjusted(1 + kBorder, 1 + kBorder, -(1 + kBorder), -(1 + kBorder));
}

void CVideoTools::ShowSelectedPage() {
    selectedTab = tabControl->currentIndex();
    if (selectedTab == lastShownTab) return;
    lastShownTab = selectedTab;
    imagePage->hide();
    soundPage->hide();
    QWidget* page = selectedTab == 0 ? static_cast<QWidget*>(imagePage)
                    : selectedTab == 1 ? static_cast<QWidget*>(soundPage)
                                       : nullptr;
    if (!page) return;
    page->setGeometry(PageRect());
    page->show();
}

void CVideoTools::resizeEvent(QResizeEvent* event) {
    CToolWindow::resizeEvent(event);
    Layout();
}

void CVideoTools::Layout() {
    closeButton->move(width() - kBorder - closeButton->width(), kBorder);
    // Only the strip of tabs is the tab control here; the pages lie over the body below it.
    tabControl->setGeometry(kBorder / 2, 3 * kBorder + closeButton->height(), width() - kBorder + 1,
                            kTabHeight + kBorder + 1);
    for (QWidget* page : {static_cast<QWidget*>(imagePage), static_cast<QWidget*>(soundPage)})
        if (!page->isHidden()) page->setGeometry(PageRect());
}

void CVideoTools::paintEvent(QPaintEvent* event) {
    CToolWindow::paintEvent(event);
    if (!SkinImageForControls()) return;
    // The line that parts the header with the close button from the tabs.
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    const qreal y = closeButton->height() + 2 * kBorder + 0.5;
    painter.drawLine(QPointF(0, y), QPointF(width(), y));
}
