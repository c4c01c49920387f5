#include "tests/engine/EngineTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLibrary>
#include <QThread>
#include <gtest/gtest.h>

QString SyntheticModulePath() { return QStringLiteral(NRX_SYNTHETIC_MODULE); }

QString RealModulePath() { return qEnvironmentVariable("NRX_ENGINE_MODULE"); }

QString ModulePath(ModuleKind kind) { return kind == ModuleKind::Synthetic ? SyntheticModulePath() : RealModulePath(); }

QString MediaClip(const char* name) { return qEnvironmentVariable("NRX_MEDIA_DIR") + QLatin1Char('/') + QLatin1String(name); }

std::string ModuleName(ModuleKind kind) { return kind == ModuleKind::Synthetic ? "synthetic" : "real"; }

namespace {
template <typename Fn>
Fn Resolve(const char* symbol) {
    static QLibrary library(SyntheticModulePath());
    auto fn = reinterpret_cast<Fn>(library.resolve(symbol));
    if (!fn) ADD_FAILURE() << "synthetic module lacks " << symbol << ": " << library.errorString().toStdString();
    return fn;
}
} // namespace

void ConfigureSynthetic(const char* config) {
    static auto fn = Resolve<NrxSyntheticConfigureFn>(NRX_SYNTHETIC_CONFIGURE_SYMBOL);
    fn(config);
}

std::int64_t SyntheticCalls(const char* method) {
    static auto fn = Resolve<NrxSyntheticCallCountFn>(NRX_SYNTHETIC_CALL_COUNT_SYMBOL);
    return fn(method);
}

std::int64_t SyntheticLastValue(const char* method) {
    static auto fn = Resolve<NrxSyntheticLastValueFn>(NRX_SYNTHETIC_LAST_VALUE_SYMBOL);
    return fn(method);
}

PromptRecorder::PromptRecorder() {
    previous = CPromptService::SetHandler([this](const PromptRequest& request) {
        texts << request.text;
        return PromptAnswer::Ok;
    });
}

PromptRecorder::~PromptRecorder() { CPromptService::SetHandler(previous); }

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "EngineTests";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv); // lives for the whole test program
}

bool ProcessEventsUntil(const std::function<bool()>& done) {
    EnsureApplication();
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return done();
}

void ProcessEventsFor(int ms) {
    EnsureApplication();
    QDeadlineTimer deadline(ms);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    } while (!deadline.hasExpired());
}
