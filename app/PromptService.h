// The one way the program asks or tells the user something in a message box, so that every message box
// can be answered by tests. The program installs a QMessageBox-backed service; tests install their own.
#pragma once

#include <QString>
#include <functional>

class QWidget;

enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptButtons { Ok, YesNo, OkCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct PromptRequest {
    QString text;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
};

class CPromptService {
public:
    using Handler = std::function<PromptAnswer(const PromptRequest&)>;

    // Shows the message (modal, UI thread only) and returns the user's answer.
    static PromptAnswer Show(const QString& text, PromptIcon icon = PromptIcon::None,
                             PromptButtons buttons = PromptButtons::Ok);
    // Replaces how messages are shown; an empty handler restores the message box. Returns the previous one.
    static Handler SetHandler(Handler handler);
    // Parent for the message box (the main frame once it exists).
    static void SetParentWindow(QWidget* parent);
};
