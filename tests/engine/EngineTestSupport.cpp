#include "tests/engine/EngineTestSupport.h"

#include <QLibrary>
#include <gtest/gtest.h>

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
    Resolve<NrxSyntheticConfigureFn>(NRX_SYNTHETIC_CONFIGURE_SYMBOL)(config);
}

std::int64_t SyntheticCalls(const char* method) {
    return Resolve<NrxSyntheticCallCountFn>(NRX_SYNTHETIC_CALL_COUNT_SYMBOL)(method);
}

std::int64_t SyntheticLastValue(const char* method) {
    return Resolve<NrxSyntheticLastValueFn>(NRX_SYNTHETIC_LAST_VALUE_SYMBOL)(method);
}
