#include "skin/Suipublic.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QPolygon>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace {

QRgb ToQRgb(TColor c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// A plain copy drawn as it stands, whatever alpha the source carries.
QImage Opaque(const QImage& img) { return img.convertToFormat(QImage::Format_RGB32); }

// 2 for a twice-size picture, else 1.
int PixelRatio(const QImage& img) { return img.devicePixelRatio() > 1.0 ? 2 : 1; }

// A rectangle in 1x pixels as the pixels of a picture k times the size.
QRect InPixels(const QRect& r, int k) { return QRect(r.topLeft() * k, r.size() * k); }

void DrawPiece(QPainter& canvas, int x, int y, const QImage& piece, bool masked, TColor mask)
{
    if (piece.isNull() || piece.width() <= 0 || piece.height() <= 0) return;
    if (masked)
        canvas.drawImage(x, y, MaskedImage(piece, mask));
    else
        canvas.drawImage(x, y, Opaque(piece));
}

// The source rectangle cut out of img, stretched (nearest pixel, so the mask colour
// stays exact) to dst and drawn masked with 0xFF00FF.
void DrawStretchedMasked(QPainter& canvas, const QImage& img, const QRect& src, const QRect& dst)
{
    if (src.width() <= 0 || src.height() <= 0 || dst.width() <= 0 || dst.height() <= 0) return;
    const int k = PixelRatio(img);
    QImage piece = img.copy(InPixels(src, k)).scaled(dst.size() * k, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    piece.setDevicePixelRatio(k);
    canvas.drawImage(dst.topLeft(), MaskedImage(piece, kSuiTransparentColor));
}

void DrawStretchedOpaque(QPainter& canvas, const QImage& piece, const QRect& dst)
{
    if (piece.isNull() || dst.width() <= 0 || dst.height() <= 0) return;
    canvas.drawImage(dst.topLeft(), Opaque(piece).scaled(dst.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

// The two ends of a three-piece strip at the ends of r, or as much of the left piece
// as fits when r is narrower than one piece. True, with the middle piece, when r
// holds both ends.
bool DrawStripEnds(const QImage& img, QPainter& canvas, const QRect& r, bool masked, TColor mask, QImage* middle)
{
    const int pw = img.width() / 3;
    QImage left, rightPiece;
    SpitBitmap(img, &left, 3, 1);
    if (r.width() < pw) {
        DrawPiece(canvas, r.x(), r.y(), left.copy(0, 0, std::max(0, r.width()), img.height()), masked, mask);
        return false;
    }
    SpitBitmap(img, middle, 3, 2);
    SpitBitmap(img, &rightPiece, 3, 3);
    DrawPiece(canvas, r.x(), r.y(), left, masked, mask);
    DrawPiece(canvas, RectRight(r) - pw, r.y(), rightPiece, masked, mask);
    return true;
}

// One corner of SpitDraw: the part of the source rectangle that fits the limit size,
// keeping the source's outer column and row.
struct Corner {
    QRect source;  // inside the bitmap
    QSize size;
};

Corner CutCorner(const QRect& source, int limitW, int limitH, bool keepRight, bool keepBottom)
{
    const int pw = std::max(0, std::min(source.width(), limitW));
    const int ph = std::max(0, std::min(source.height(), limitH));
    const int x = keepRight ? RectRight(source) - pw : source.x();
    const int y = keepBottom ? RectBottom(source) - ph : source.y();
    return {QRect(x, y, pw, ph), QSize(pw, ph)};
}

// An edge of SpitDraw, cut down to its target's width (left and right edges) or height (top and
// bottom edges) where the source is larger, keeping the column or row on the outer side, then
// stretched into the target.
void DrawEdge(QPainter& canvas, const QImage& img, QRect from, const QRect& to, Qt::Edge outer)
{
    const int w = std::max(0, to.width());
    const int h = std::max(0, to.height());
    if ((outer == Qt::LeftEdge || outer == Qt::RightEdge) && from.width() > w) {
        if (outer == Qt::LeftEdge)
            from.setWidth(w);
        else
            from.setLeft(RectRight(from) - w);
    }
    if ((outer == Qt::TopEdge || outer == Qt::BottomEdge) && from.height() > h) {
        if (outer == Qt::TopEdge)
            from.setHeight(h);
        else
            from.setTop(RectBottom(from) - h);
    }
    DrawStretchedMasked(canvas, img, from, to);
}

QPointer<QWidget>& MainFormSlot()
{
    static QPointer<QWidget> form;
    return form;
}

}  // namespace

QImage MaskedImage(const QImage& img, TColor mask)
{
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQRgb(mask) & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = (line[x] & 0xFFFFFF) == key ? 0 : (line[x] | 0xFF000000);
    }
    return out;
}

void DrawTransparent(QPainter& canvas, int x, int y, const QImage& img, TColor mask)
{
    DrawPiece(canvas, x, y, img, true, mask);
}

void FrameRect(QPainter& canvas, const QRect& r, TColor color)
{
    if (r.width() <= 0 || r.height() <= 0) return;
    const QColor c = ToQColor(color);
    canvas.fillRect(QRect(r.x(), r.y(), r.width(), 1), c);
    canvas.fillRect(QRect(r.x(), RectBottom(r) - 1, r.width(), 1), c);
    canvas.fillRect(QRect(r.x(), r.y(), 1, r.height()), c);
    canvas.fillRect(QRect(RectRight(r) - 1, r.y(), 1, r.height()), c);
}

void DrawFocusDots(QPainter& canvas, const QRect& r)
{
    if (r.width() <= 0 || r.height() <= 0) return;
    // Every other pixel along the frame, counted around it as the window system does.
    QPolygon dots;
    const int right = RectRight(r) - 1;
    const int bottom = RectBottom(r) - 1;
    for (int x = r.x(); x <= right; ++x) {
        if ((x - r.x()) % 2 == 0) dots << QPoint(x, r.y());
        if (bottom > r.y() && (x - r.x() + bottom - r.y()) % 2 == 0) dots << QPoint(x, bottom);
    }
    for (int y = r.y() + 1; y < bottom; ++y) {
        if ((y - r.y()) % 2 == 0) dots << QPoint(r.x(), y);
        if (right > r.x() && (right - r.x() + y - r.y()) % 2 == 0) dots << QPoint(right, y);
    }
    canvas.save();
    canvas.setCompositionMode(QPainter::CompositionMode_Difference);
    canvas.setPen(Qt::white);
    canvas.drawPoints(dots);
    canvas.restore();
}

QColor ColorOfParent(const QWidget& parent)
{
    const QVariant color = parent.property("Color");
    if (color.metaType() == QMetaType::fromType<TColor>()) return ToQColor(color.value<TColor>());
    return parent.palette().color(parent.backgroundRole());
}

void SpitBitmap(const QImage& src, QImage* dst, int count, int index)
{
    if (!dst) return;
    if (src.isNull() || count <= 0 || index < 1 || index > count) {
        *dst = QImage();
        return;
    }
    const int pw = src.width() / count;
    const int x = index == count ? src.width() - pw : (index - 1) * pw;
    *dst = pw > 0 ? src.copy(x, 0, pw, src.height()) : QImage();
}

void SpitDraw(const QImage& src, QPainter& canvas, const QRect& r, bool transparent)
{
    if (src.isNull()) return;
    // A twice-size picture is laid out in the 1x picture's pixels and cut in its own.
    const QImage img = Opaque(src);
    const int k = PixelRatio(img);
    const int w = img.width() / k, h = img.height() / k;
    const int hw = w / 2, hh = h / 2;
    const int W = r.width(), H = r.height();
    const int right = RectRight(r), bottom = RectBottom(r);

    const auto drawCorner = [&](const Corner& corner, int x, int y) {
        if (!corner.size.isEmpty())
            DrawPiece(canvas, x, y, img.copy(InPixels(corner.source, k)), transparent, kSuiTransparentColor);
        return QRect(QPoint(x, y), corner.size);
    };

    const Corner tlc = CutCorner(RectLTRB(0, 0, hw, hh), W / 2, H / 2, false, false);
    const QRect tl = drawCorner(tlc, 0, 0);
    const Corner blc = CutCorner(RectLTRB(0, h - hh + 1, hw, h), W / 2, H / 2 - 1, false, true);
    const QRect bl = drawCorner(blc, 0, bottom - blc.size.height());
    DrawEdge(canvas, img, RectLTRB(0, hh, hw, h - hh), RectLTRB(0, RectBottom(tl), RectRight(tl), bl.y()),
             Qt::LeftEdge);

    const Corner trc = CutCorner(RectLTRB(w - hw + 1, 0, w, hh), W / 2 - 1, H / 2, true, false);
    const QRect tr = drawCorner(trc, right - trc.size.width(), 0);
    const Corner brc = CutCorner(RectLTRB(w - hw + 1, h - hh + 1, w, h), W / 2 - 1, H / 2 - 1, true, true);
    const QRect br = drawCorner(brc, right - brc.size.width(), bottom - brc.size.height());
    DrawEdge(canvas, img, RectLTRB(w - hw + 1, h - hh, w, hh + 2),
             RectLTRB(tr.x(), RectBottom(tr), RectRight(tr), br.y()), Qt::RightEdge);

    DrawEdge(canvas, img, RectLTRB(hw, 0, w - hw + 1, hh), RectLTRB(RectRight(tl), 0, tr.x(), RectBottom(tl)),
             Qt::TopEdge);
    DrawStretchedMasked(canvas, img, RectLTRB(hw, hh, w - hw + 1, h - hh),
                        RectLTRB(RectRight(tl), RectBottom(tl), tr.x(), br.y() - 1));
    DrawEdge(canvas, img, RectLTRB(hw, h - hh, w - hw + 1, h),
             RectLTRB(RectRight(tl) - 1, bl.y() - 1, br.x(), RectBottom(br)), Qt::BottomEdge);
}

void SpitDrawHorizontal(const QImage& strip, QPainter& canvas, const QRect& r, bool useCornerColor, TColor fill,
                        bool sampleTop)
{
    if (strip.isNull()) return;
    const QImage img = Opaque(strip);
    const int pw = img.width() / 3;
    const int h = img.height();
    const TColor mask = useCornerColor ? ToTColor(img.pixel(0, sampleTop ? 0 : h - 1)) : kSuiTransparentColor;

    QImage middle;
    if (!DrawStripEnds(img, canvas, r, true, mask, &middle)) return;

    QImage back(middle.size(), QImage::Format_RGB32);
    back.fill(ToQColor(fill));
    {
        QPainter p(&back);
        DrawPiece(p, 0, 0, middle, true, mask);
    }
    DrawStretchedOpaque(canvas, back, RectLTRB(r.x() + pw, r.y(), RectRight(r) - pw, RectBottom(r)));
}

void SpitDrawHorizontal2(const QImage& strip, QPainter& canvas, const QRect& r, bool transparent, TColor transColor)
{
    if (strip.isNull()) return;
    const QImage img = Opaque(strip);
    const int pw = img.width() / 3;

    QImage middle;
    if (!DrawStripEnds(img, canvas, r, transparent, transColor, &middle)) return;
    DrawStretchedOpaque(canvas, middle, RectLTRB(r.x() + pw, r.y(), RectRight(r) - pw, r.y() + img.height()));
}

void TileDraw(QPainter& canvas, const QImage& pic, const QRect& r)
{
    const int p = pic.width(), q = pic.height();
    if (p <= 0 || q <= 0) return;  // an empty picture would never advance
    for (int x = 0; x < r.width() + p; x += p)
        for (int y = 0; y < r.height() + q; y += q)
            canvas.drawImage(x, y, pic);
}

void DoTrans(QPainter& canvas, QWidget* control)
{
    if (!control) return;
    QWidget* parent = control->parentWidget();
    if (!parent || canvas.device() == control) return;
    canvas.save();
    parent->render(&canvas, -control->pos(), QRegion(parent->rect()), QWidget::DrawWindowBackground);
    canvas.restore();
}

void DrawControlBorder(QPainter& canvas, QWidget* control, TColor border, TColor inner, bool drawInner)
{
    if (!control) return;
    const QRect outer = control->rect();
    FrameRect(canvas, outer, border);
    if (drawInner) FrameRect(canvas, outer.adjusted(1, 1, -1, -1), inner);
}

void DrawHorizontalGradient(QPainter& canvas, const QRect& r, TColor from, TColor to)
{
    const int height = r.height();
    if (height <= 0) return;
    const int top = r.y();
    const auto line = [&](int y, const QColor& c) { canvas.fillRect(QRect(r.x(), y, r.width(), 1), c); };
    line(top, ToQColor(from));
    const QColor c1 = ToQColor(from), c2 = ToQColor(to);
    const auto channel = [&](int a, int b, int step) { return a + int((double(b - a) / height) * step); };
    for (int y = top + 1; y <= RectBottom(r) - 2; ++y) {
        const int step = y - top - 1;
        line(y,
             QColor(channel(c1.red(), c2.red(), step), channel(c1.green(), c2.green(), step),
                    channel(c1.blue(), c2.blue(), step)));
    }
    line(RectBottom(r) - 1, c2);
}

void RoundPicture2(QImage& bmp) { bmp = bmp.mirrored(true, true); }

bool InRect(int x, int y, const QRect& r)
{
    return x >= r.x() && x <= RectRight(r) && y >= r.y() && y <= RectBottom(r);
}

bool InRect(const QPoint& p, const QRect& r) { return InRect(p.x(), p.y(), r); }

void PlaceControl(QWidget* c, const QPoint& p)
{
    if (c) c->move(p);
}

void PlaceControl(QWidget* c, const QRect& r)
{
    if (c) c->setGeometry(r);
}

void SetMainForm(QWidget* form) { MainFormSlot() = form; }

QWidget* MainForm() { return MainFormSlot().data(); }

QRect GetWorkAreaRect()
{
    QScreen* screen = nullptr;
    if (QWidget* main = MainForm()) {
        screen = QGuiApplication::screenAt(main->frameGeometry().center());
        if (!screen) screen = main->screen();
    }
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QRect GetMaximisedRect() { return GetWorkAreaRect().adjusted(-2, -2, 2, -1); }

bool FormHasFocus(QWidget* form)
{
    QWidget* main = MainForm();
    if (!main) return form && form->isActiveWindow();
    if (QGuiApplication::applicationState() != Qt::ApplicationActive) return false;
    if (!form || form == main) return true;
    return form->isActiveWindow();
}

QString FormatStringWithWidth(const QFontMetrics& fm, const QString& text, int width)
{
    if (fm.horizontalAdvance(text) <= width) return text;
    for (int i = 1; i < text.length(); ++i) {
        const QString candidate = text.left(i) + QStringLiteral("...");
        if (fm.horizontalAdvance(candidate) >= width) return candidate;
    }
    return text;
}

bool SUIGetComboBoxInfo(QComboBox* combo, SuiComboBoxInfo* info)
{
    if (!combo || !info) return false;
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    opt.editable = combo->isEditable();
    opt.frame = combo->hasFrame();
    opt.currentText = combo->currentText();
    opt.subControls = QStyle::SC_All;
    QStyle* style = combo->style();
    info->item = style->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo);
    info->button = style->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, combo);
    info->list = combo->view() ? combo->view()->window() : nullptr;
    return true;
}

TColor PaletteBaseColor(const QWidget* w) { return ToTColor(w->palette().color(QPalette::Active, QPalette::Base)); }

void SetPaletteBaseColor(QWidget* w, TColor c)
{
    QPalette pal = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Base, ToQColor(c));
    w->setPalette(pal);
}
