// The page around the game in the browser (src/platform/web/web_page.js does the page's part).
#pragma once

struct SDL_Window;

namespace platform {

// The boss key in a page, which cannot be minimised: the canvas and the page's text are
// hidden (full screen is left) and the game is told its window was minimised, so it pauses
// as it does on the desktop. The next key or click shows the game again and tells it the
// window was restored; that key or click is not passed on.
void HidePage(SDL_Window* window);

}  // namespace platform
