// Test-side access to the synthetic engine module: its path, its configuration entry points and the
// frame-number code it paints into every pixel.
//
// Configuration (semicolon-separated key=value, applied to objects created afterwards; until the first
// NrxSyntheticConfigure call, each creation reads the environment variable NRX_SYNTHETIC_CONFIG):
//   rate=25           frame rate reported and generated
//   frames=250        frames in the stream; ReadFrame past the last one reports end of stream
//   width=64;height=48
//   fail=Open,ReadFrame@3   these methods fail with E_FAIL (from their n-th call on when @n is given)
//   noInterface=device|property   the class exists but lacks its interface (E_NOINTERFACE)
//   unregistered=device|property  the class is unknown (REGDB_E_CLASSNOTREG)
//   extensions=...    the supported-extensions string; comes last and takes the rest of the text
//
// Holding reads: NrxSyntheticHoldReads(1) makes every ReadFrame wait at its very start (before it touches the
// device's state, as a long decode would) until NrxSyntheticHoldReads(0); NrxSyntheticHeldReads says how
// many are waiting now. Configure lets any held read go.
#pragma once

#include <cstdint>

extern "C" {
using NrxSyntheticConfigureFn = void (*)(const char* config);
// Calls of a method (by its interface name, e.g. "SetPlayState") since the last Configure, over all objects.
using NrxSyntheticCallCountFn = std::int64_t (*)(const char* method);
// Last integer argument a method received since the last Configure (0 when never called).
using NrxSyntheticLastValueFn = std::int64_t (*)(const char* method);
using NrxSyntheticHoldReadsFn = void (*)(int hold);
using NrxSyntheticHeldReadsFn = std::int64_t (*)();
}

#define NRX_SYNTHETIC_CONFIGURE_SYMBOL "NrxSyntheticConfigure"
#define NRX_SYNTHETIC_CALL_COUNT_SYMBOL "NrxSyntheticCallCount"
#define NRX_SYNTHETIC_LAST_VALUE_SYMBOL "NrxSyntheticLastValue"
#define NRX_SYNTHETIC_HOLD_READS_SYMBOL "NrxSyntheticHoldReads"
#define NRX_SYNTHETIC_HELD_READS_SYMBOL "NrxSyntheticHeldReads"

// Every pixel of frame n holds n in its blue (low byte), green and red (high byte) channels.
inline std::int64_t SyntheticFrameNumber(const std::uint8_t* pixel) {
    return pixel[0] | (pixel[1] << 8) | (pixel[2] << 16);
}
