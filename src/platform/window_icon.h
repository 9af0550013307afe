// The window's icon, drawn by the asset generator (tools/packgen) with the desktop icons and
// compiled into the program, so the window shows it wherever the program runs from.
#pragma once
#include <cstdint>
// Row-major, top row first, 0xAARRGGBB with straight (not premultiplied) alpha.
struct WindowIcon { int width; int height; const uint32_t* argb; };
extern const WindowIcon kWindowIcon;
