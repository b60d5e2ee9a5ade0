// Skin pictures decoded on first use and shared by every control that draws them.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// The skin picture NAME, decoded the first time it is asked for at a scale and kept: every control that
// draws it at that scale shares one image. Above a device pixel ratio of 1 the twice-size picture
// NAME@2x is taken when there is one, with its device pixel ratio set to 2 so that its size in logical
// pixels stays the 1x size; otherwise the 1x picture. A null image when there is no such picture.
QImage SkinPicture(const QString& name, qreal devicePixelRatio = 1.0);

// The pictures decoded so far, in order, as "NAME" or "NAME@2x".
QStringList DecodedSkinPictures();

// The size of the skin picture NAME in logical pixels, read from its header when it has not been
// decoded yet; an empty size when there is no such picture.
QSize SkinPictureSize(const QString& name);

// A skin picture, or piece index (1-based) of a strip of count pieces, named when a control takes its
// style and decoded when it is first drawn: a control can measure itself for a style at once without
// decoding the pictures of a style it never draws. It can hold an image given by the program instead.
class LazySkinPicture {
public:
    LazySkinPicture() = default;
    // An image set by the program stands for itself.
    LazySkinPicture(const QImage& image)
        : m_image(image)
    { }
    explicit LazySkinPicture(const QString& name, int count = 0, int index = 0)
        : m_name(name)
        , m_count(count)
        , m_index(index)
    { }

    // True when there is no picture, decoded or not.
    bool isNull() const { return Size().isEmpty(); }
    // The size in logical pixels, without decoding.
    QSize Size() const;
    // The picture, decoded on first use; above a device pixel ratio of 1 from the twice-size picture
    // when there is one.
    const QImage& Image(qreal devicePixelRatio = 1.0) const;

private:
    QString m_name;
    int m_count = 0;
    int m_index = 0;
    mutable QImage m_image;
    mutable int m_scale = 0;  // the scale m_image was fetched at; 0 before the first use of a name
};
