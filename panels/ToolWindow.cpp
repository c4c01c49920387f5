#include "panels/ToolWindow.h"

#include "controls/CustomButton.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

CToolWindow::CToolWindow(QWidget* owner, QWidget* view)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), view_(view) {
    // A tool window stays above its owner, also when the owner fills the screen; closing only hides it.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CToolWindow::SetSkinImage(const QString& path) {
    skin_ = CSkinImage(path);
    update();
}

const QImage* CToolWindow::SkinImageForControls() const {
    if (skin_.isNull()) return nullptr;
    return &skin_.For(devicePixelRatioF());
}

CCustomButton* CToolWindow::MakeCloseButton(const QString& toolTip, QSize size) {
    auto* button = new CCustomButton(this);
    if (const CProgramSkin* skin = CProgramSkin::Current())
        button->SetImages(skin->GetCommonFolder() + Params.CloseFileName);
    button->setToolTip(toolTip);
    button->forwardWindow = view_;
    button->parentImage = SkinImageForControls();
    button->setFocusPolicy(Qt::NoFocus);
    button->resize(size);
    connect(button, &QAbstractButton::clicked, this, [this] { Close(); });
    return button;
}

void CToolWindow::Close() {
    hide();
}

bool CToolWindow::event(QEvent* event) {
    // Keys typed while the window is active are the player's hot keys; Esc there hides this window first.
    return HandleControlEvent(this, view_, true, event, [&] { return QWidget::event(event); });
}

void CToolWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (const QImage* image = SkinImageForControls()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()), *image);
    } else {
        painter.fillRect(rect(), Qt::black);
    }
}

void CToolWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    event->accept();
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    drag_ = ManualDrag{event->globalPosition().toPoint(), pos()};
}

void CToolWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!drag_) return QWidget::mouseMoveEvent(event);
    move(drag_->startTopLeft + event->globalPosition().toPoint() - drag_->startPos);
}

void CToolWindow::mouseReleaseEvent(QMouseEvent* event) {
    drag_.reset();
    QWidget::mouseReleaseEvent(event);
}
