// The menu widgets: buttons with highlight pictures, option rows, text captions and the text
// entry box. The seven instances are global, created once by LoadImages and kept for the run.
#pragma once

namespace gfx {

// Creates each widget instance that does not exist yet.
void CreateWidgets();
// Frees every widget instance.
void FreeWidgets();

}  // namespace gfx
