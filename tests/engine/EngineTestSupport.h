// Shared pieces of the engine tests: where the modules are and the synthetic module's controls.
#pragma once

#include "tests/TestSupport.h"
#include "tests/synthetic/SyntheticControl.h"

#include <QLibrary>
#include <gtest/gtest.h>

inline QString SyntheticModulePath() { return QStringLiteral(NRX_SYNTHETIC_MODULE); }
inline QString RealModulePath() { return qEnvironmentVariable("NRX_ENGINE_MODULE"); }

// An entry point of the synthetic module (loaded once per process).
template <typename Fn>
Fn Synthetic(const char* symbol) {
    static QLibrary library(SyntheticModulePath());
    auto fn = reinterpret_cast<Fn>(library.resolve(symbol));
    if (!fn) ADD_FAILURE() << "synthetic module lacks " << symbol << ": " << library.errorString().toStdString();
    return fn;
}
inline void ConfigureSynthetic(const char* config) {
    Synthetic<NrxSyntheticConfigureFn>(NRX_SYNTHETIC_CONFIGURE_SYMBOL)(config);
}
inline std::int64_t SyntheticCalls(const char* method) {
    return Synthetic<NrxSyntheticCallCountFn>(NRX_SYNTHETIC_CALL_COUNT_SYMBOL)(method);
}
inline std::int64_t SyntheticLastValue(const char* method) {
    return Synthetic<NrxSyntheticLastValueFn>(NRX_SYNTHETIC_LAST_VALUE_SYMBOL)(method);
}
