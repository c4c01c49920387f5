// Shared pieces of the engine tests: which module a case runs on, the synthetic module's controls, a
// recorder standing in for message boxes, and an event loop for queued signals.
#pragma once

#include "app/PromptService.h"
#include "tests/synthetic/SyntheticControl.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <ostream>
#include <string>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

enum class ModuleKind { Synthetic, Real };

QString SyntheticModulePath();
QString RealModulePath();
QString ModulePath(ModuleKind kind);
// A generated clip from the media folder.
QString MediaClip(const char* name);
// Test case name suffix for a module kind.
std::string ModuleName(ModuleKind kind);

// The synthetic module's controls (the module is loaded once per process).
void ConfigureSynthetic(const char* config);
std::int64_t SyntheticCalls(const char* method);
std::int64_t SyntheticLastValue(const char* method);

// Records every message box while alive and answers Ok.
class PromptRecorder {
public:
    PromptRecorder();
    ~PromptRecorder();
    QStringList texts;

private:
    CPromptService::Handler previous;
};

// Makes sure a QCoreApplication exists (queued signals need an event loop).
void EnsureApplication();
// Processes events until done() or about 10 s passed; returns done().
bool ProcessEventsUntil(const std::function<bool()>& done);
// Processes events for about ms milliseconds.
void ProcessEventsFor(int ms);
