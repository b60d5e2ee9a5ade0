#include "ui/LabelFits.h"

#include "ui/Fonts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSize>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace {

// Change when FitToBox answers differently for the same fonts: older files are then not read.
constexpr char kMagic[] = "orvane label fits 1";
constexpr int kFields = 7;
constexpr qint64 kLargestFile = 64 * 1024;  // identity, font, width, height, text, pixel size, stretch

QByteArray Sum(const QByteArray& body) { return QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex(); }

QString Encode(const QString& s) { return QString::fromLatin1(QUrl::toPercentEncoding(s)); }

// Path, size and time of change of a file, or only its path when it is gone.
void AddFile(QByteArray* id, const char* path)
{
    struct stat st { };
    id->append(path);
    if (::stat(path, &st) == 0)
        id->append(' ' + QByteArray::number(qint64(st.st_size)) + ' ' + QByteArray::number(qint64(st.st_mtim.tv_sec))
                   + '.' + QByteArray::number(qint64(st.st_mtim.tv_nsec)));
    id->append('\n');
}

// The files of one family as the font configuration lists them, sorted.
QList<QByteArray> FamilyFiles(const QString& family)
{
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
    std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(FcObjectSetBuild(FC_FILE, nullptr),
                                                                        FcObjectSetDestroy);
    if (!pattern || !objects) return {};
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> set(FcFontList(nullptr, pattern.get(), objects.get()),
                                                                FcFontSetDestroy);
    QList<QByteArray> files;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch)
            files << QByteArray(reinterpret_cast<const char*>(file));
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

LabelFits::LabelFits(QString path)
    : m_path(std::move(path))
{
    Load();
}

void LabelFits::Load()
{
    if (m_path.isEmpty()) return;
    QFile file(m_path);
    // Ours is a few lines; anything much larger is not ours.
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestFile) return;
    const QByteArray data = file.readAll();
    const qsizetype magicEnd = data.indexOf('\n');
    const qsizetype sumEnd = magicEnd < 0 ? -1 : data.indexOf('\n', magicEnd + 1);
    if (sumEnd < 0 || data.left(magicEnd) != kMagic) return;
    const QByteArray body = data.mid(sumEnd + 1);
    if (data.mid(magicEnd + 1, sumEnd - magicEnd - 1) != Sum(body)) return;
    QHash<QString, Entry> read;
    for (const QByteArray& line : body.split('\n')) {
        if (line.isEmpty()) continue;
        const QList<QByteArray> fields = line.split('\t');
        bool pixelOk = false, stretchOk = false;
        const Entry e{fields.value(5).toInt(&pixelOk), fields.value(6).toInt(&stretchOk)};
        if (fields.size() != kFields || !pixelOk || !stretchOk) return;  // not a file we wrote: trust none of it
        read.insert(QString::fromLatin1(line.left(line.lastIndexOf('\t', line.lastIndexOf('\t') - 1))), e);
    }
    m_read = std::move(read);
}

// Everything the fit of a text in this family depends on besides the text and the box, as a digest;
// empty when no file of the family or its substitutes is installed (the face then comes from the
// configuration's fallback, which this does not follow, so such a fit is never kept).
QString LabelFits::Identity(const QString& family)
{
    if (const auto it = m_identities.constFind(family); it != m_identities.cend()) return *it;
    if (m_configuration.isEmpty()) {
        // The configuration decides hinting, and with it the widths.
        m_configuration = QByteArray(kMagic) + '\n' + qVersion() + '\n';
        if (FcStrList* configs = FcConfigGetConfigFiles(nullptr)) {
            while (const FcChar8* path = FcStrListNext(configs))
                AddFile(&m_configuration, reinterpret_cast<const char*>(path));
            FcStrListDone(configs);
        }
    }
    QByteArray id = m_configuration;
    bool anyFile = false;
    for (const QString& candidate : QStringList{family} + QFont::substitutes(family)) {
        id.append(candidate.toUtf8() + '\n');
        for (const QByteArray& path : FamilyFiles(candidate)) {
            AddFile(&id, path.constData());
            anyFile = true;
        }
    }
    const QString digest = anyFile ? QString::fromLatin1(Sum(id)) : QString();
    m_identities.insert(family, digest);
    return digest;
}

QFont LabelFits::Fit(const QFont& font, const QString& text, const QSize& box)
{
    const QString identity = Identity(font.family());
    const QString key = identity + u'\t' + Encode(font.toString()) + u'\t' + QString::number(box.width()) + u'\t'
        + QString::number(box.height()) + u'\t' + Encode(text);
    if (const auto it = m_read.constFind(key); !identity.isEmpty() && it != m_read.cend()) {
        // Only an answer FitToBox could have given.
        const int asked = font.pixelSize();
        const bool sizeOk = asked <= 6 ? it->pixelSize == asked : it->pixelSize >= 6 && it->pixelSize <= asked;
        if (sizeOk && it->stretch >= 70 && it->stretch <= 100) {
            m_used.insert(key, *it);
            QFont fitted = font;
            if (it->pixelSize != asked) fitted.setPixelSize(it->pixelSize);
            fitted.setStretch(it->stretch);
            return fitted;
        }
    }
    const QFont fitted = FitToBox(font, text, box);
    ++m_fitted;
    if (!identity.isEmpty()) m_used.insert(key, {fitted.pixelSize(), fitted.stretch()});
    return fitted;
}

bool LabelFits::Save()
{
    if (m_fitted == 0) return true;
    if (m_path.isEmpty() || !QDir().mkpath(QFileInfo(m_path).path())) return false;
    QStringList keys = m_used.keys();
    keys.sort();
    QByteArray body;
    for (const QString& key : keys) {
        const Entry& e = m_used[key];
        body += key.toLatin1() + '\t' + QByteArray::number(e.pixelSize) + '\t' + QByteArray::number(e.stretch) + '\n';
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(QByteArray(kMagic) + '\n' + Sum(body) + '\n' + body);
    return file.commit();
}

LabelFits& ProgramLabelFits()
{
    static LabelFits fits = [] {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        return LabelFits(folder.isEmpty() ? QString() : folder + QStringLiteral("/label-fits"));
    }();
    return fits;
}
