// The program entry: creates the main window, runs the message loop, opens the companion files
// and shuts down. Returns the process exit status.
#pragma once

int RunProgram();

// One pass of the message loop: dispatches every pending window event, then runs the frame
// loop once. False once the window has closed or the program was told to quit.
bool PumpMessages();
