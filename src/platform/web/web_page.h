// The page around the game in the browser (src/platform/web/web_page.js does the page's part).
#pragma once

#include <cstdint>
#include <functional>

struct SDL_Window;
union SDL_Event;

namespace platform {

// The boss key in a page, which cannot be minimised: the canvas and the page's text are
// hidden (full screen is left) and the game is told its window lost the focus and was
// minimised, so it stops as it does on the desktop. The next key or click shows the game
// again (full screen again if it was) and tells it the window was restored and has the focus:
// a game comes back on its pause screen. That key or click is not passed on.
void HidePage(SDL_Window* window);
// True from HidePage until the page shows the game again.
bool PageHidden();

// Full screen in a page is the browser's, over the page's screen element, in which the page
// scales the 800 x 600 canvas to fit, keeping its shape. The game asks for it here; the page
// also enters and leaves it itself on Alt+Enter, in the key's own handler (browsers grant full
// screen only to a key or click), and the browser leaves it when the player presses Esc. A
// browser that refuses the request for want of a key or click is asked again at the next one.
void SetPageFullScreen(bool fullScreen);

// A change of full screen that the game did not ask for comes to it as an SDL event queued in
// order with the keys: true and fullScreen set for such an event.
bool IsPageFullScreenChange(const SDL_Event& event, bool& fullScreen);

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
