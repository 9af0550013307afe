#include "graphics/widgets.h"

namespace gfx {

// The widget instances arrive with the menu screens.
void CreateWidgets() {}
void FreeWidgets() {}

}  // namespace gfx
