// One QApplication for every skin and widget test program, and a wait for conditions.
//
// QtApp.cpp is compiled into each tests/skin and tests/widgets program and registers a gtest global
// environment that creates the application before the first test (offscreen when no
// platform is set) and deletes it after the last. Test files need no main() and must
// not create a QApplication of their own; call EnsureQtApp() where one is needed
// before the tests run (for example in a static initialiser).
#pragma once

#include <functional>

class QApplication;

// The test program's QApplication, created on first use.
QApplication* EnsureQtApp();

// Processes events until done() holds or ms pass; returns whether it held.
bool WaitFor(const std::function<bool()>& done, int ms = 5000);
