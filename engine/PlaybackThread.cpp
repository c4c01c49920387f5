// The playback thread: pulls one frame at a time from the engine, paced by the file's frame rate.
#include "document/RedadIzivad.h"
#include "engine/ComError.h"
#include "engine/FrameClock.h"

#include <exception>
#include <optional>
#include <utility>

int CRedadIzivad::ThreadProc(CRedadIzivad* player) {
    if (!player->viewWindow || !player->engine) {
        player->threadRunning = false;
        return 0;
    }
    CVideoEngine& engine = *player->engine;
    const quint64 run = player->serial;
    bool anyPicture = false;
    auto waitCommand = [player](int timeoutMs) {
        return WaitForAny({&player->StopEvent, &player->StepForwardEvent, &player->StepBackwardEvent,
                           &player->RefreshEvent},
                          timeoutMs);
    };
    enum { StopIndex = 0, StepForwardIndex = 1, StepBackwardIndex = 2, RefreshIndex = 3 };
    constexpr int PausedPollMs = 250;
    constexpr int kWindowUpMs = 500; // longest wait for the view's first paint (a hidden window never paints)

    // Every component error on this thread is caught here: an exception escaping a thread ends the process.
    // A failed call is treated like a failed decode, which the view already handles as the end of the
    // stream (next playlist entry or stop); the component's text is kept for TakeThreadError.
    try {
        CFramePacer pacer;
        bool firstRead = true;
        int r = waitCommand(0);
        while (r != StopIndex) {
            std::optional<NrxReadMode> mode; // none: present without decoding
            switch (engine.GetPlayState()) {
            case PlayState::Playing:
                // A step or refresh consumed by the last wait means nothing while playing.
                if (r == StepForwardIndex || r == StepBackwardIndex) player->pendingSteps = 0;
                if (r == RefreshIndex) player->positionRead = false; // a jump while playing needs no fetch
                mode = NRX_READ_NEXT;
                break;
            case PlayState::Paused:
                if (r == StepForwardIndex || r == StepBackwardIndex) {
                    // Every press counts: those that came while the last step was decoding are one jump.
                    const int steps = player->pendingSteps.exchange(0);
                    if (steps == 0) {
                        r = waitCommand(PausedPollMs);
                        continue;
                    }
                    engine.SetPosition(engine.GetCurrentFrame() + steps);
                    mode = NRX_READ_POSITION;
                } else if (r == RefreshIndex) {
                    mode = player->positionRead.exchange(false) ? NRX_READ_POSITION : NRX_READ_REFRESH;
                } else {
                    // Paused with nothing to do: no repaint. Waiting on the events instead of sleeping
                    // lets a step or stop act at once rather than at the next poll.
                    r = waitCommand(PausedPollMs);
                    continue;
                }
                break;
            default:
                break;
            }
            if (mode == NRX_READ_NEXT && std::exchange(firstRead, false) && player->awaitingPresentation &&
                engine.IsOpened()) {
                // The view has not shown anything since the open. Its first paints build and compose the
                // window at its new size, which takes a software rasteriser a quarter of a second. The clock
                // starts with the first picture, so waiting for the window costs only start-up time, where
                // reading now would have the first pictures pass while nothing can show them.
                if (WaitForAny({&player->StopEvent, &player->PresentedEvent}, kWindowUpMs) == StopIndex) break;
            }
            const auto periodEnd =
                pacer.BeginPeriod(CFramePacer::Clock::now(), FramePeriodMs(engine.GetFrameRate()));
            std::int64_t frame = -1;
            const std::int32_t status = mode ? engine.ReadFrame(*mode, &frame) : NRX_FRAME_NONE;
            if (status == NRX_FRAME_END) {
                player->EndOfStream(run, anyPicture, {});
                return 1;
            }
            // Only a new picture is worth a paint: repainting the same one would cost a texture upload and,
            // with OpenGL, a window composition. Stopped, the view shows its logo screen without the thread.
            if (status == NRX_FRAME_NEW) {
                if (!std::exchange(anyPicture, true)) emit player->notifier.firstPicture(run);
                player->RequestPaint(frame);
            }
            // Only a stop may cut the period short: a step or refresh that arrives while playing must not
            // advance the next frame, and while paused it is taken right after this period.
            r = WaitForAny({&player->StopEvent}, periodEnd);
            if (r != StopIndex) r = waitCommand(0);
        }
    } catch (const CComError& error) {
        player->EndOfStream(run, anyPicture, error.ErrorMessage());
        return 1;
    } catch (const std::exception& error) {
        // Anything else (out of memory, say) must not end the process from here either.
        player->EndOfStream(run, anyPicture, QString::fromLocal8Bit(error.what()));
        return 1;
    }
    player->StoppedEvent.ResetEvent();
    player->StoppedEvent.SetEvent();
    return 1;
}
