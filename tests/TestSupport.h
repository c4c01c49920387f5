// What the Qt-side tests share: readable strings in failures, the generated clips, files written and read in
// one go, waiting on the event loop, mouse moves and counting a widget's events, message boxes answered here,
// and environment variables set for one test.
#pragma once

#include "app/PromptService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <ostream>
#include <string>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// A clip the build generated into the media folder.
inline QString Clip(const char* name) { return qEnvironmentVariable("NRX_MEDIA_DIR") + '/' + QLatin1String(name); }

// Writes a whole file, making its folder first; false when that failed.
inline bool WriteFile(const QString& path, const QByteArray& bytes = {}) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A whole file, empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lets the event loop run until the condition holds; gives up after limitMs so a fault fails, not hangs.
template <typename Condition>
bool WaitFor(Condition condition, int limitMs = 15000) {
    return QTest::qWaitFor(condition, limitMs);
}

// A mouse move with buttons held and modifiers down, sent straight to the widget (QTest's moves carry
// neither).
inline void SendMouseMove(QWidget* widget, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton,
                          Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, buttons, modifiers);
    QCoreApplication::sendEvent(widget, &move);
}

// Counts the events of one type a widget receives (paints, hides) while alive.
class EventCounter : public QObject {
public:
    EventCounter(QWidget* watched, QEvent::Type type) : type(type) { watched->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == type) ++count;
        return false;
    }

private:
    QEvent::Type type;
};

// Records every message box while alive and gives it one answer.
class PromptRecorder {
public:
    explicit PromptRecorder(PromptAnswer answer = PromptAnswer::Ok)
        : previous(CPromptService::SetHandler([this, answer](const PromptRequest& request) {
              texts << request.text;
              return answer;
          })) {}
    ~PromptRecorder() { CPromptService::SetHandler(previous); }
    PromptRecorder(const PromptRecorder&) = delete;
    PromptRecorder& operator=(const PromptRecorder&) = delete;
    std::string All() const { return texts.join('|').toStdString(); }

    QStringList texts;

private:
    CPromptService::Handler previous;
};

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() { had ? void(qputenv(name, old)) : void(qunsetenv(name)); }

private:
    const char* name;
    bool had;
    QByteArray old;
};
