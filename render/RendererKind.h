// Which renderer draws the picture; the values are the ones the settings and the menu have always used.
#pragma once

enum class RendererKind { None = 0, Gdi = 1, OpenGL = 2 };
