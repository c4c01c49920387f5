#include "controls/MFCWebLink.h"

#include "app/PromptService.h"
#include "controls/CustomButton.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QUrl>
#include <exception>

CMFCWebLink::CMFCWebLink(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setAccessibleName(tr("Link"));
    connect(this, &QAbstractButton::clicked, this, &CMFCWebLink::OnClicked);
}

bool CMFCWebLink::OpenAddress(const QString& address) {
    const QString text = address.trimmed();
    if (text.isEmpty()) return false;
    // A full address is taken as written: read as user input, a broken one becomes some other address (the
    // desktop's opener would then show the wrong page, or fail where nobody sees it). A bare host name is a
    // web address.
    const QUrl target =
        text.contains(QStringLiteral("://")) ? QUrl(text, QUrl::TolerantMode) : QUrl::fromUserInput(text);
    const bool web = target.scheme() == QStringLiteral("http") || target.scheme() == QStringLiteral("https");
    if (target.isValid() && !(web && target.host().isEmpty()) && QDesktopServices::openUrl(target))
        return true;
    CPromptService::Show(tr("The address %1 could not be opened.").arg(address), PromptIcon::Warning);
    return false;
}

void CMFCWebLink::OnClicked() {
    if (!isEnabled()) return;
    if (!defaultClick) OpenAddress(urlPrefix + (url.isEmpty() ? text() : url));
    hover = false;
    update();
}

QSize CMFCWebLink::sizeHint() const {
    return QFontMetrics(font()).size(Qt::TextSingleLine, text()) + QSize(6, 6);
}

void CMFCWebLink::SizeToContent() {
    resize(sizeHint());
}

void CMFCWebLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont look = font();
    const bool underline = hover || alwaysUnderline;
    look.setUnderline(underline);
    painter.setFont(look);
    painter.setPen(underline ? hoverColor : palette().color(QPalette::Link));
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | (multiLine ? Qt::TextWordWrap : Qt::TextSingleLine);
    painter.drawText(rect(), flags, text());
}

bool CMFCWebLink::event(QEvent* event) {
    return HandleControlEvent(this, nullptr, false, event, [&] { return QAbstractButton::event(event); });
}

void CMFCWebLink::enterEvent(QEnterEvent* event) {
    hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CMFCWebLink::leaveEvent(QEvent* event) {
    hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
