#pragma once

#include <QByteArray>
#include <QImage>

namespace skinart {

// Baseline (sequential) JPEG of an opaque image, encoded with libjpeg.
QByteArray EncodeJpeg(const QImage& image, int quality);

}  // namespace skinart
