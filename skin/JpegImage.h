// JPEG pictures and the embedded page pictures.
#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG file held in memory with libjpeg. A corrupt, truncated or unsupported file gives a
// null image; nothing is printed and the program goes on. With a valid `shown`, only the picture's
// top-left part of at most that size is decoded: a picture drawn unscaled from its corner into a
// smaller panel shows no more, and the rest would cost time and memory at every start.
QImage DecodeJpeg(const QByteArray& data, QSize shown = QSize());

// The parameter page's background picture (791 x 669), decoded from the embedded JPEG once.
QImage LoadPageBackground();
// Its top-left part of at most `shown`, as the page shows it; decoded once for the last size asked.
QImage LoadPageBackground(QSize shown);

// The status line's picture: an 8 x 37 gradient, light blue at the top to blue at the bottom.
QImage LoadStatusGradient();

// Makes the embedded skin resources (":/skin/...", ":/page/...", ":/icon/...") available. They live in
// a static library, so the first reader must call this; calling it again does nothing.
void InitSkinResources();
