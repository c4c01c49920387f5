#include "engine/ComError.h"

#include <cstdint>

CComError::CComError(HRESULT code, const QString& message)
    : std::runtime_error((message.isEmpty() ? TextForCode(code) : message).toStdString()),
      hr(code),
      text(message.isEmpty() ? TextForCode(code) : message) {}

QString CComError::TextForCode(HRESULT hr) {
    switch (static_cast<std::uint32_t>(hr)) {
    case 0x80040154u: return QStringLiteral("Class not registered");
    case 0x80004002u: return QStringLiteral("No such interface supported");
    case 0x80004003u: return QStringLiteral("Invalid pointer");
    case 0x80004005u: return QStringLiteral("Unspecified error");
    case 0x8007000Eu: return QStringLiteral("Not enough memory resources are available to complete this operation.");
    case 0x80070057u: return QStringLiteral("The parameter is incorrect.");
    default: break;
    }
    // Codes 0x80040200..0x8004FFFF are the range that automation servers report their own errors in.
    const auto code = static_cast<std::uint32_t>(hr);
    if (code >= 0x80040200u && code <= 0x8004FFFFu)
        return QStringLiteral("IDispatch error #%1").arg(code - 0x80040200u);
    return QStringLiteral("Unknown error 0x") + QString::number(code, 16).toUpper();
}
