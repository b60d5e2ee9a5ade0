// The labels' fits kept between starts: read back they give what fitting gives, and a damaged file, a
// folder that cannot be written or a change of fonts never puts a wrong fit on a label.

#include "support/UiTestKit.h"

#include "ui/Fonts.h"
#include "ui/LabelFits.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSize>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Label {
    QFont font;
    QString text;
    QSize box;
};

// Texts that fit as they are, narrowed, and a pixel smaller as well.
std::vector<Label> Labels()
{
    return {{DialogFont(), QStringLiteral("Channel"), {41, 13}},
            {DialogFont(), QStringLiteral(" Frequency"), {41, 13}},
            {DialogFont(), QStringLiteral("Baud Rate"), {49, 13}},
            {SongFont(15), QStringLiteral("Com"), {24, 15}},
            {SongFont(15), QStringLiteral("Verify"), {48, 15}}};
}

// Fits every label with a fresh reader of the file; each must be what FitToBox gives. Returns how
// many had to be fitted.
int FitAll(const QString& path, bool* saved = nullptr)
{
    LabelFits fits(path);
    for (const Label& l : Labels()) {
        SCOPED_TRACE(l.text.toStdString());
        EXPECT_EQ(fits.Fit(l.font, l.text, l.box), FitToBox(l.font, l.text, l.box));
    }
    const bool ok = fits.Save();
    if (saved) *saved = ok;
    return fits.FittedCount();
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// The file with the last fit a pixel smaller, its sum left as it was: a change only the sum shows.
QByteArray WithSmallerLastFit(const QByteArray& file)
{
    QList<QByteArray> fields = file.trimmed().split('\t');
    fields[fields.size() - 2] = QByteArray::number(fields[fields.size() - 2].toInt() - 1);
    return fields.join('\t') + '\n';
}

// The file with every stretch replaced and its sum made right again: whole, but not what FitToBox
// could have answered.
QByteArray WithStretch(const QByteArray& file, const QByteArray& stretch)
{
    QList<QByteArray> lines = file.split('\n');
    QByteArray body;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) continue;
        body += lines[i].left(lines[i].lastIndexOf('\t') + 1) + stretch + '\n';
    }
    return lines[0] + '\n' + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() + '\n' + body;
}

}  // namespace

TEST(LabelFits, ReadBackOrFittedAgainWhenTheFileIsNotWhole)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/cache/label-fits");
    const int labels = int(Labels().size());
    ASSERT_EQ(FitAll(path), labels);
    EXPECT_EQ(FitAll(path), 0);
    const QByteArray good = Read(path);

    const struct {
        const char* name;
        QByteArray file;
    } damaged[] = {
        {"truncated", good.left(good.size() - 7)},
        {"a fit changed", WithSmallerLastFit(good)},
        {"another program's", QByteArray("[General]\nsize=3\n")},
        {"empty", QByteArray()},
        {"whole but impossible", WithStretch(good, "40")},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.name);
        Write(path, d.file);
        EXPECT_EQ(FitAll(path), labels);
        EXPECT_EQ(FitAll(path), 0) << "rewritten";
    }
}

TEST(LabelFits, FolderThatCannotBeWrittenMeansFittingEachTime)
{
    QTemporaryDir dir;
    const QString blocker = dir.path() + QStringLiteral("/file");
    Write(blocker, "not a folder");
    bool saved = true;
    EXPECT_EQ(FitAll(blocker + QStringLiteral("/label-fits"), &saved), int(Labels().size()));
    EXPECT_FALSE(saved);
}

TEST(LabelFits, FittedAgainWhenTheFamilysFontsChange)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/label-fits");
    const QString family = QStringLiteral("Orvane Test Family");
    QFont::insertSubstitution(family, QStringLiteral("Liberation Sans"));
    QFont font(family);
    font.setPixelSize(11);
    const QString text = QStringLiteral(" Frequency");
    {
        LabelFits fits(path);
        fits.Fit(font, text, {41, 13});
        ASSERT_TRUE(fits.Save());
    }
    QFont::insertSubstitution(family, QStringLiteral("DejaVu Sans"));
    LabelFits fits(path);
    EXPECT_EQ(fits.Fit(font, text, {41, 13}), FitToBox(font, text, {41, 13}));
    EXPECT_EQ(fits.FittedCount(), 1);
    QFont::removeSubstitutions(family);
}
