// CMFCWebLink: a text link that opens a web address in the user's browser (the desktop's URL handler, never
// a shell command line). An address that cannot be opened is reported to the user; nothing is thrown.
#pragma once

#include <QAbstractButton>
#include <QColor>

class CMFCWebLink : public QAbstractButton {
    Q_OBJECT
public:
    explicit CMFCWebLink(QWidget* parent = nullptr);

    // Opens address with the desktop's handler; an empty address does nothing. Returns whether it opened;
    // on failure the user is told which address could not be opened.
    static bool OpenAddress(const QString& address);

    // Measures the text as one line and makes the link 3 pixels larger on every side.
    void SizeToContent();

    QColor hoverColor{88, 159, 195};
    QString url;           // empty: the link's text is the address
    QString urlPrefix;     // put in front of the address, e.g. "mailto:"
    bool multiLine = false;
    bool alwaysUnderline = false;
    bool defaultClick = false; // the owner handles clicked() itself; the link opens nothing

    bool IsHovered() const { return hover; }
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void OnClicked();
    bool hover = false;
};
