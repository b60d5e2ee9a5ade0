// One QApplication for every skin and widget test program (waits are in common/EventWait.h).
//
// QtApp.cpp is compiled into each tests/skin and tests/widgets program and registers a gtest global
// environment that creates the application before the first test (offscreen when no
// platform is set) and deletes it after the last. Test files need no main() and must
// not create a QApplication of their own; call EnsureQtApp() where one is needed
// before the tests run (for example in a static initialiser).
#pragma once

class QApplication;

// The test program's QApplication, created on first use.
QApplication* EnsureQtApp();
