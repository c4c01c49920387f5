// CComError: a failed call into the media engine component, carrying its HRESULT and a readable text.
#pragma once

#include "engine/module/VideoDevice.h"

#include <QString>
#include <stdexcept>

class CComError : public std::runtime_error {
public:
    // An empty text is replaced by the usual system wording for the code (see ErrorMessage).
    CComError(HRESULT hr, const QString& text);

    HRESULT Error() const { return hr; }
    // The component's own text for the failure, or the wording for the code when it gave none.
    const QString& ErrorMessage() const { return text; }

    // The wording for an HRESULT without any component text: the system's phrase for the common codes,
    // "IDispatch error #n" inside the IDispatch range, else "Unknown error 0x...".
    static QString TextForCode(HRESULT hr);

private:
    HRESULT hr;
    QString text;
};
