// Shared pieces of the engine tests: which module a case runs on and the synthetic module's controls.
#pragma once

#include "tests/TestSupport.h"
#include "tests/synthetic/SyntheticControl.h"

#include <string>

enum class ModuleKind { Synthetic, Real };

inline QString SyntheticModulePath() { return QStringLiteral(NRX_SYNTHETIC_MODULE); }
inline QString RealModulePath() { return qEnvironmentVariable("NRX_ENGINE_MODULE"); }
inline QString ModulePath(ModuleKind kind) {
    return kind == ModuleKind::Synthetic ? SyntheticModulePath() : RealModulePath();
}
// Test case name suffix for a module kind.
inline std::string ModuleName(ModuleKind kind) { return kind == ModuleKind::Synthetic ? "synthetic" : "real"; }

// The synthetic module's controls (the module is loaded once per process).
void ConfigureSynthetic(const char* config);
std::int64_t SyntheticCalls(const char* method);
std::int64_t SyntheticLastValue(const char* method);
