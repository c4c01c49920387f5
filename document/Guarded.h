// The edge every event-loop entry of the document runs behind: a failing component call is reported to
// the user and the action abandoned; the player goes on. Nothing may throw through Qt's event loop.
#pragma once

#include "app/PromptService.h"
#include "engine/ComError.h"

#include <exception>

template <class F>
void Guarded(F&& action) {
    try {
        action();
    } catch (const CComError& error) {
        CPromptService::Show(error.ErrorMessage(), PromptIcon::Error);
    } catch (const std::exception& error) {
        CPromptService::Show(QString::fromLocal8Bit(error.what()), PromptIcon::Error);
    }
}
