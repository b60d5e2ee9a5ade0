// A container panel that paints a picture (unscaled, stretched or tiled) or a plain
// colour, optionally over its parent, and writes its caption over it.
#pragma once

#include "skin/Suithemes.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class TsuiCustomPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QImage Picture READ Picture WRITE setPicture)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(TsuiDrawStyle DrawStyle READ DrawStyle WRITE setDrawStyle)
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(TAlign Align READ Align WRITE setAlign)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor)

public:
    enum TsuiDrawStyle { suiNormal, suiStretch, suiTile };
    Q_ENUM(TsuiDrawStyle)
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    // Which edges of its parent the panel follows. A panel aligned to the top or the
    // bottom spans the parent's width (and a bottom one stays on the bottom edge), one
    // aligned left or right its height, one aligned to the client the whole parent;
    // the other coordinate stays where the code put it.
    enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
    Q_ENUM(TAlign)

    explicit TsuiCustomPanel(QWidget* parent = nullptr);

    const QImage& Picture() const { return m_picture; }
    void setPicture(const QImage& picture);
    // Paint the parent's background first; a picture without an alpha channel then
    // leaves out the colour of its bottom-left pixel, as a transparent bitmap does.
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool on);
    // Size the panel to its picture, except along the edges it is aligned to.
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    TsuiDrawStyle DrawStyle() const { return m_drawStyle; }
    void setDrawStyle(TsuiDrawStyle style);
    TAlignment Alignment() const { return m_alignment; }
    void setAlignment(TAlignment alignment);
    TAlign Align() const { return m_align; }
    void setAlign(TAlign align);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // A fixed top-left position for the caption, set from code only; -1 in either lays it out by
    // Alignment (as the windows leave it).
    int CaptionPosX() const { return m_captionPosX; }
    void setCaptionPosX(int x);
    int CaptionPosY() const { return m_captionPosY; }
    void setCaptionPosY(int y);

    // With ParentColor on, Color is the parent's Color (or its background colour).
    TColor Color() const;
    void setColor(TColor c);
    bool ParentColor() const { return m_parentColor; }
    void setParentColor(bool on);

protected:
    virtual void PictureChanged();

    // The background: the parent (when transparent), then the picture or Color.
    void paintBackground(QPainter& p);
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void applyAutoSize();
    void applyTransparent();
    void applyAlign();
    void paintCaption(QPainter& p);

    QImage m_picture;
    QImage m_drawnPicture;  // m_picture, masked when transparent
    bool m_transparent = false;
    bool m_autoSize = false;
    TsuiDrawStyle m_drawStyle = suiNormal;
    TAlignment m_alignment = taCenter;
    TAlign m_align = alNone;
    QString m_caption;
    int m_captionPosX = -1;
    int m_captionPosY = -1;
    TColor m_color = 0;
    bool m_parentColor = false;
    QPointer<QWidget> m_alignedTo;
};

class TsuiImagePanel : public TsuiCustomPanel {
    Q_OBJECT

public:
    using TsuiCustomPanel::TsuiCustomPanel;
};
