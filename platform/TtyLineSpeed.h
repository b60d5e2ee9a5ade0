#pragma once
// The one table of line speeds a tty can be set to (Linux back-end), for the tty device and for
// anything else that sets up a tty (the simulator's pseudo-terminal).

#include <termios.h>

namespace platform {

// Sets both speeds of *t to baudRate in bit/s; false, with *t unchanged, when the system has no
// setting for that rate.
bool SetLineSpeed(termios* t, int baudRate);
// The output speed of t in bit/s; 0 for a speed outside the table.
int LineSpeedOf(const termios& t);

}  // namespace platform
