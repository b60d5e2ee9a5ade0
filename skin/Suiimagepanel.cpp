#include "skin/Suiimagepanel.h"

#include "skin/Suiaccessible.h"
#include "skin/Suipublic.h"

#include <QAccessible>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

TsuiCustomPanel::TsuiCustomPanel(QWidget* parent)
    : QWidget(parent)
{
    RegisterSkinAccessibility();
    // The button-face colour of the platform, as a plain panel has.
    m_color = ToTColor(palette().color(QPalette::Active, QPalette::Button));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TsuiCustomPanel::setPicture(const QImage& picture)
{
    m_picture = picture;
    PictureChanged();
}

void TsuiCustomPanel::PictureChanged()
{
    if (!m_picture.isNull()) applyAutoSize();
    applyTransparent();
    update();
}

void TsuiCustomPanel::setTransparent(bool on)
{
    m_transparent = on;
    // Qt composes the parent under a control that does not paint all of itself.
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
    applyTransparent();
    update();
}

void TsuiCustomPanel::applyTransparent()
{
    if (m_transparent && !m_picture.isNull() && !m_picture.hasAlphaChannel())
        m_drawnPicture = MaskedImage(m_picture, ToTColor(m_picture.pixel(0, m_picture.height() - 1)));
    else
        m_drawnPicture = m_picture;
}

void TsuiCustomPanel::setAutoSize(bool on)
{
    m_autoSize = on;
    if (!m_picture.isNull()) applyAutoSize();
}

void TsuiCustomPanel::applyAutoSize()
{
    if (!m_autoSize) return;
    const bool spansWidth = m_align == alTop || m_align == alBottom || m_align == alClient;
    const bool spansHeight = m_align == alLeft || m_align == alRight || m_align == alClient;
    resize(spansWidth ? width() : m_picture.width(), spansHeight ? height() : m_picture.height());
    applyAlign();
}

void TsuiCustomPanel::setDrawStyle(TsuiDrawStyle style)
{
    m_drawStyle = style;
    update();
}

void TsuiCustomPanel::setAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    update();
}

void TsuiCustomPanel::setAlign(TAlign align)
{
    m_align = align;
    applyAlign();
}

void TsuiCustomPanel::applyAlign()
{
    QWidget* parent = parentWidget();
    if (m_alignedTo && (m_alignedTo != parent || m_align == alNone)) {
        m_alignedTo->removeEventFilter(this);
        m_alignedTo = nullptr;
    }
    if (m_align == alNone || !parent) return;
    if (!m_alignedTo) {
        parent->installEventFilter(this);
        m_alignedTo = parent;
    }
    const QRect area = parent->contentsRect();
    const QRect g = geometry();
    switch (m_align) {
    case alTop: setGeometry(area.x(), g.y(), area.width(), g.height()); break;
    case alBottom: setGeometry(area.x(), RectBottom(area) - g.height(), area.width(), g.height()); break;
    case alLeft: setGeometry(g.x(), area.y(), g.width(), area.height()); break;
    case alRight: setGeometry(RectRight(area) - g.width(), area.y(), g.width(), area.height()); break;
    case alClient: setGeometry(area); break;
    case alNone: break;
    }
}

void TsuiCustomPanel::setCaption(const QString& caption)
{
    m_caption = caption;
    // A screen reader announces the status line when it changes.
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    update();
}

void TsuiCustomPanel::setCaptionPosX(int x)
{
    m_captionPosX = x;
    update();
}

void TsuiCustomPanel::setCaptionPosY(int y)
{
    m_captionPosY = y;
    update();
}

TColor TsuiCustomPanel::Color() const
{
    const QWidget* parent = parentWidget();
    if (!m_parentColor || !parent) return m_color;
    return ToTColor(ColorOfParent(*parent));
}

void TsuiCustomPanel::setColor(TColor c)
{
    m_color = c;
    m_parentColor = false;
    update();
}

void TsuiCustomPanel::setParentColor(bool on)
{
    m_parentColor = on;
    update();
}

bool TsuiCustomPanel::event(QEvent* e)
{
    if (e->type() == QEvent::ParentChange) applyAlign();
    return QWidget::event(e);
}

bool TsuiCustomPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_alignedTo && (e->type() == QEvent::Resize || e->type() == QEvent::ContentsRectChange))
        applyAlign();
    return QWidget::eventFilter(watched, e);
}

void TsuiCustomPanel::paintBackground(QPainter& p)
{
    const QRect r = rect();
    if (m_transparent)
        DoTrans(p, this);
    else
        p.fillRect(r, ToQColor(Color()));
    if (m_drawnPicture.isNull()) return;
    switch (m_drawStyle) {
    case suiStretch: p.drawImage(r, m_drawnPicture); break;
    case suiTile: TileDraw(p, m_drawnPicture, r); break;
    case suiNormal: p.drawImage(0, 0, m_drawnPicture); break;
    }
}

// One line, centred vertically and placed after Alignment, blanks included (they
// shift the text); a caption of blanks only writes nothing. Text wider than the
// panel is cut at its edges.
void TsuiCustomPanel::paintCaption(QPainter& p)
{
    if (m_caption.trimmed().isEmpty()) return;
    p.setFont(font());
    p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    const QFontMetrics fm(font());
    if (m_captionPosX == -1 || m_captionPosY == -1) {
        const int textWidth = fm.horizontalAdvance(m_caption);
        int x = 0;
        if (m_alignment == taRightJustify)
            x = width() - textWidth;
        else if (m_alignment == taCenter)
            x = (width() - textWidth) / 2;
        const int top = (height() - fm.height()) / 2;
        p.drawText(x, top + fm.ascent(), m_caption);
    } else {
        p.drawText(m_captionPosX, m_captionPosY + fm.ascent(), m_caption);
    }
}

void TsuiCustomPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintBackground(p);
    paintCaption(p);
}
