#include "JpegImage.h"

#include <QFile>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <mutex>

#include <jpeglib.h>

namespace {

// Larger pictures are refused rather than allocated: no picture of ours comes near this.
constexpr JDIMENSION kMaxSide = 16384;

#ifdef JCS_EXTENSIONS
// libjpeg-turbo writes colour pixels straight in the layout of a 32-bit image, sparing a converted copy
// of the page at start-up.
constexpr J_COLOR_SPACE kColorSpace = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
constexpr QImage::Format kColorFormat = QImage::Format_RGB32;
#else
constexpr J_COLOR_SPACE kColorSpace = JCS_RGB;
constexpr QImage::Format kColorFormat = QImage::Format_RGB888;
#endif

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf escape;
};

[[noreturn]] void OnError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->escape, 1); }

// libjpeg reports damaged data (a truncated file, bytes between markers) as warnings and fills the
// rest with grey; such a picture is treated as corrupt.
void OnMessage(j_common_ptr cinfo, int level)
{
    if (level < 0) std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->escape, 1);
}

void Silent(j_common_ptr) { }

// Kept out of DecodeJpeg so that no object with a destructor lives across setjmp. With a valid shown
// size, out may come wider than asked (the decoder crops whole blocks); the caller cuts it.
bool Decode(jpeg_decompress_struct& cinfo, ErrorManager& err, const QByteArray& data, QSize shown, QImage& out)
{
    if (setjmp(err.escape)) return false;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxSide
        || cinfo.image_height > kMaxSide)
        return false;
    const bool gray = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    if (!gray && cinfo.jpeg_color_space != JCS_YCbCr && cinfo.jpeg_color_space != JCS_RGB)
        return false;  // CMYK and YCCK pictures are not ours
    cinfo.out_color_space = gray ? JCS_GRAYSCALE : kColorSpace;
    jpeg_start_decompress(&cinfo);

    JDIMENSION rows = cinfo.output_height;
    if (shown.isValid()) {
        rows = std::min(rows, JDIMENSION(shown.height()));
#ifdef JCS_EXTENSIONS
        // One block column more than shown, so that the last column shown is smoothed from its real
        // neighbour, as in the whole picture, and not from a copy of itself.
        constexpr JDIMENSION kMargin = 16;
        JDIMENSION left = 0;
        JDIMENSION width = std::min(cinfo.output_width, JDIMENSION(shown.width()) + kMargin);
        if (width < cinfo.output_width) jpeg_crop_scanline(&cinfo, &left, &width);
#endif
    }
    out = QImage(int(cinfo.output_width), int(rows), gray ? QImage::Format_Grayscale8 : kColorFormat);
    if (out.isNull()) return false;
    while (cinfo.output_scanline < rows) {
        JSAMPROW row = out.scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    if (rows < cinfo.output_height)
        jpeg_abort_decompress(&cinfo);
    else
        jpeg_finish_decompress(&cinfo);
    return true;
}

QByteArray ReadResource(const QString& path)
{
    InitSkinResources();
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data, QSize shown)
{
    if (data.isEmpty()) return {};
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    err.pub.output_message = Silent;
    jpeg_create_decompress(&cinfo);
    QImage image;
    const bool ok = Decode(cinfo, err, data, shown, image);
    jpeg_destroy_decompress(&cinfo);
    if (!ok) return {};
    if (shown.isValid() && image.width() > shown.width()) image = image.copy(0, 0, shown.width(), image.height());
    return image.convertToFormat(QImage::Format_RGB32);
}

// Both pictures are decoded on first use and shared from then on.
QImage LoadPageBackground()
{
    static const QImage page = DecodeJpeg(ReadResource(QStringLiteral(":/page/background.jpg")));
    return page;
}

QImage LoadPageBackground(QSize shown)
{
    static QSize size;
    static QImage part;
    if (part.isNull() || shown != size) {
        part = DecodeJpeg(ReadResource(QStringLiteral(":/page/background.jpg")), shown);
        size = shown;
    }
    return part;
}

QImage LoadStatusGradient()
{
    static const QImage gradient = QImage::fromData(ReadResource(QStringLiteral(":/page/status.png")), "PNG");
    return gradient;
}

void InitSkinResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(resources); });
}
