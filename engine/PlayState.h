// The player's play state, with the values the media engine component uses for it.
#pragma once

#include <cstdint>

enum class PlayState : std::int32_t { Playing = 0, Paused = 1, Stopped = 2 };
