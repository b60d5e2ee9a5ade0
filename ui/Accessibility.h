#pragma once
// What a screen reader needs of the main window beyond its captions and labels.

class QWidget;
class TsuiCustomPanel;

// Names each button in a group of the page after its caption and its group ("Read Channel and
// Frequency"), so that the five "Read" and five "Write" buttons can be told apart without seeing
// them; and makes the status line read as one before its first message.
void NameForScreenReaders(QWidget* page, TsuiCustomPanel* statusLine);
