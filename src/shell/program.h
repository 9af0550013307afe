// The program entry: creates the main window, runs the message loop, opens the companion files
// and shuts down. Returns the process exit status.
#pragma once

struct TReplay;

// `watch`: a replay to show first (checked already); the main menu follows it.
int RunProgram(const TReplay* watch = nullptr);

// One pass of the message loop: dispatches every pending window event, then runs the frame
// loop once. False once the window has closed or the program was told to quit.
bool PumpMessages();

// While the score is being sent: takes the window's events off the queue so the desktop sees a
// live window (keys and clicks are dropped, the rest is held for the message loop to handle
// once the sending is over), and shows the current picture again once per clock tick.
void KeepWindowAlive();
// Drops events held by KeepWindowAlive (a fresh start).
void ForgetHeldEvents();
