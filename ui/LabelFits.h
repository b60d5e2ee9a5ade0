#pragma once
// The labels' fitted fonts, kept between starts: fitting a text tries faces at several stretches and
// sizes, and loading each face is the dearest step of start-up. A fit is kept with the identity of the
// font files it was made with (path, size, time of change of every file of the requested family and
// its substitutes, the font configuration, the toolkit's version); when any of them changes, the text
// is fitted again.

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QString>

class QSize;

class LabelFits {
public:
    // Reads the file when it is whole and ours: anything else is ignored, and replaced by the next Save.
    explicit LabelFits(QString path);

    // FitToBox's answer, from the file when it holds one for these fonts.
    QFont Fit(const QFont& font, const QString& text, const QSize& box);

    // Writes the fits asked for since the file was read when any of them had to be fitted. A folder
    // that cannot be written only means fitting again at the next start.
    bool Save();

    // How many texts Fit had to fit rather than read.
    int FittedCount() const { return m_fitted; }

private:
    struct Entry {
        int pixelSize = 0;
        int stretch = 0;
    };
    void Load();
    QString Identity(const QString& family);

    QString m_path;
    QHash<QString, Entry> m_read;          // from the file, by key
    QHash<QString, Entry> m_used;          // asked for this run, to be written
    QHash<QString, QString> m_identities;  // by family
    QByteArray m_configuration;            // the toolkit and the font configuration's files
    int m_fitted = 0;
};

// The program's fits, in the user's cache folder.
LabelFits& ProgramLabelFits();
