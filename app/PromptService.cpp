#include "app/PromptService.h"

#include <QMessageBox>
#include <QPointer>

namespace {
CPromptService::Handler& CurrentHandler() {
    static CPromptService::Handler handler;
    return handler;
}
QPointer<QWidget>& ParentWindow() {
    static QPointer<QWidget> parent;
    return parent;
}

PromptAnswer ShowMessageBox(const PromptRequest& request) {
    QMessageBox box(ParentWindow());
    box.setWindowTitle(QStringLiteral("NRX MediaPlayer"));
    box.setText(request.text);
    switch (request.icon) {
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case PromptIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case PromptIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
    case PromptIcon::None: break;
    }
    switch (request.buttons) {
    case PromptButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case PromptButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case PromptButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    default: return request.buttons == PromptButtons::OkCancel && box.clickedButton() == nullptr
                        ? PromptAnswer::Cancel
                        : PromptAnswer::Ok;
    }
}
} // namespace

PromptAnswer CPromptService::Show(const QString& text, PromptIcon icon, PromptButtons buttons) {
    const PromptRequest request{text, icon, buttons};
    if (CurrentHandler()) return CurrentHandler()(request);
    return ShowMessageBox(request);
}

CPromptService::Handler CPromptService::SetHandler(Handler handler) {
    Handler previous = std::move(CurrentHandler());
    CurrentHandler() = std::move(handler);
    return previous;
}

void CPromptService::SetParentWindow(QWidget* parent) { ParentWindow() = parent; }
