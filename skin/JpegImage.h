// JPEG pictures and the embedded page pictures.
#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG file held in memory with libjpeg. A corrupt, truncated or unsupported file gives a
// null image; nothing is printed and the program goes on.
QImage DecodeJpeg(const QByteArray& data);

// The parameter page's background picture (791 x 669), decoded from the embedded JPEG once.
QImage LoadPageBackground();

// The status line's picture: an 8 x 37 gradient, light blue at the top to blue at the bottom.
QImage LoadStatusGradient();

// Makes the embedded skin resources (":/skin/...", ":/page/...", ":/icon/...") available. They live in
// a static library, so the first reader must call this; calling it again does nothing.
void InitSkinResources();
