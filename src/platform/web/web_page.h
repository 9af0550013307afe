// The page around the game in the browser (src/platform/web/web_page.js does the page's part).
#pragma once

#include <functional>

struct SDL_Window;

namespace platform {

// The boss key in a page, which cannot be minimised: the canvas and the page's text are
// hidden (full screen is left) and the game is told its window was minimised, so it pauses
// as it does on the desktop. The next key or click shows the game again and tells it the
// window was restored; that key or click is not passed on.
void HidePage(SDL_Window* window);

// What the program does when the page asks it to keep its settings (the player has stopped
// pressing keys for a moment, or the page is being hidden: a tab is closed, never exited).
// Set once by the entry point.
void SetKeepSettings(std::function<void()> keep);

// Called by the frame loop's wait each time the program has had its turn back from the
// browser: runs what the page asked for meanwhile. The page's JavaScript only ever records
// a request: the program sleeps inside its own call stack (ASYNCIFY), and a save, whose
// fsync waits for IndexedDB, may itself sleep, which must never happen in a call the page
// makes into the program while that stack is put away (the two sleeps would share one
// record, and the program would resume on the wrong one).
void RunPageRequests();

}  // namespace platform
