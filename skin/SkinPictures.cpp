#include "skin/SkinPictures.h"

#include "skin/JpegImage.h"
#include "skin/Suipublic.h"

#include <QFile>
#include <QHash>
#include <QImageReader>

#include <mutex>
#include <utility>

namespace {

struct Cache {
    std::mutex lock;
    QHash<std::pair<QString, int>, QImage> pictures;  // by name and scale (1 or 2); null when missing
    QHash<QString, QSize> sizes;                      // 1x sizes read from headers
    QStringList decoded;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

QString ResourcePath(const QString& name, int scale)
{
    return scale == 1 ? QStringLiteral(":/skin/%1.png").arg(name) : QStringLiteral(":/skin/%1@2x.png").arg(name);
}

// Called with the cache locked.
QImage Find(Cache& cache, const QString& name, int scale)
{
    const auto key = std::make_pair(name, scale);
    if (const auto it = cache.pictures.constFind(key); it != cache.pictures.cend()) return *it;
    QImage picture;
    const QString path = ResourcePath(name, scale);
    if (QFile::exists(path)) {
        picture = QImageReader(path).read();
        picture.setDevicePixelRatio(scale);
        cache.decoded.append(scale == 1 ? name : name + QStringLiteral("@2x"));
    } else if (scale != 1) {
        picture = Find(cache, name, 1);
    }
    cache.pictures.insert(key, picture);
    return picture;
}

int ScaleFor(qreal devicePixelRatio) { return devicePixelRatio > 1.0 ? 2 : 1; }

}  // namespace

QImage SkinPicture(const QString& name, qreal devicePixelRatio)
{
    if (name.isEmpty()) return {};
    InitSkinResources();
    Cache& cache = TheCache();
    const std::lock_guard guard(cache.lock);
    return Find(cache, name, ScaleFor(devicePixelRatio));
}

QSize SkinPictureSize(const QString& name)
{
    if (name.isEmpty()) return {};
    InitSkinResources();
    Cache& cache = TheCache();
    const std::lock_guard guard(cache.lock);
    if (const auto it = cache.pictures.constFind(std::make_pair(name, 1)); it != cache.pictures.cend())
        return it->size();
    if (const auto it = cache.sizes.constFind(name); it != cache.sizes.cend()) return *it;
    const QSize size = QImageReader(ResourcePath(name, 1)).size();
    cache.sizes.insert(name, size.isValid() ? size : QSize());
    return cache.sizes.value(name);
}

QStringList DecodedSkinPictures()
{
    Cache& cache = TheCache();
    const std::lock_guard guard(cache.lock);
    return cache.decoded;
}

QSize LazySkinPicture::Size() const
{
    if (m_name.isEmpty() || m_scale != 0) return m_image.deviceIndependentSize().toSize();
    const QSize whole = SkinPictureSize(m_name);
    if (m_count <= 0) return whole;
    const int pieceWidth = m_index >= 1 && m_index <= m_count ? whole.width() / m_count : 0;
    return pieceWidth > 0 ? QSize(pieceWidth, whole.height()) : QSize();
}

const QImage& LazySkinPicture::Image(qreal devicePixelRatio) const
{
    const int scale = ScaleFor(devicePixelRatio);
    if (m_name.isEmpty() || m_scale == scale) return m_image;
    const QImage whole = SkinPicture(m_name, scale);
    if (m_count <= 0)
        m_image = whole;
    else
        SpitBitmap(whole, &m_image, m_count, m_index);
    m_scale = scale;
    return m_image;
}
