// The desktop front end: the program's window on a GTK desktop.
#pragma once

namespace tarvelo {

// Opens the main window, runs the program in it until the window closes and returns the
// exit code (1 when no display can be opened).
int RunDesktop(int argc, char** argv);

}  // namespace tarvelo
