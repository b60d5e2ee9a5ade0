#include "skin/Suimenu.h"

#include "skin/Suimetrics.h"
#include "skin/Suipublic.h"

#include <QFontMetrics>
#include <QPainter>

namespace Metrics = SuiMetrics::Menu;

namespace {

QImage TopRows(const QImage& img, int rows) { return img.copy(0, 0, img.width(), qMin(rows, img.height())); }

// A style with item pictures stretches the top rows of a one-column picture over the item, as
// many rows as its items (or separators) are high. False when the style draws in colours.
bool DrawPictureStrip(QPainter& canvas, const QRect& r, TsuiUIStyle style, int pictureElement, int rowsElement)
{
    const QString name = GetInsideThemePictureName(style, pictureElement);
    if (name.isEmpty()) return false;
    const QImage pic = LoadSkinBitmap(name);
    if (!pic.isNull()) canvas.drawImage(r, TopRows(pic, GetInsideThemeInt(style, rowsElement)));
    return true;
}

// Side bar strip in barColor (a gradient towards barToColor when they differ), the rest in color.
void DrawItemBackground(QPainter& canvas, const QRect& r, const SuiMenuLook& look)
{
    const int bar = qBound(0, look.barWidth, r.width());
    const QRect barRect = look.rightToLeft ? RectLTRB(RectRight(r) - bar, r.y(), RectRight(r), RectBottom(r))
                                           : RectLTRB(r.x(), r.y(), r.x() + bar, RectBottom(r));
    const QRect rest = look.rightToLeft ? RectLTRB(r.x(), r.y(), RectRight(r) - bar, RectBottom(r))
                                        : RectLTRB(r.x() + bar, r.y(), RectRight(r), RectBottom(r));
    if (look.barColor == look.barToColor || bar < 2) {
        canvas.fillRect(barRect, ToQColor(look.barColor));
    } else {
        const QColor from = ToQColor(look.barColor);
        const QColor to = ToQColor(look.barToColor);
        for (int i = 0; i < bar; ++i) {
            const double t = double(i) / (bar - 1);
            const QColor c(int(from.red() + (to.red() - from.red()) * t),
                           int(from.green() + (to.green() - from.green()) * t),
                           int(from.blue() + (to.blue() - from.blue()) * t));
            canvas.fillRect(barRect.x() + i, barRect.y(), 1, barRect.height(), c);
        }
    }
    canvas.fillRect(rest, ToQColor(look.color));
}

QImage GreyedCheck(const QImage& check)
{
    QImage grey = check.convertToFormat(QImage::Format_ARGB32);
    const QRgb greyRgb = ToQColor(kSuiMenuDisabledFontColor).rgb();
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            if (qAlpha(line[x]) != 0) line[x] = greyRgb;
        }
    }
    return grey;
}

}  // namespace

const QImage& MenuCheckedPicture()
{
    static const QImage check = MaskedImage(LoadSkinBitmap(QStringLiteral("MENU_CHECKED")), 0xFFFFFF);
    return check;
}

QFont SuiMenuItemFont(const SuiMenuLook& look, const SuiMenuItem& item)
{
    QFont font = look.font;
    if (item.isDefault) font.setBold(true);
    return font;
}

QSize MeasureMenuItem(const SuiMenuLook& look, const SuiMenuItem& item)
{
    const QFontMetrics fm(SuiMenuItemFont(look, item));
    // The caption is measured as written, its "&" included, though drawn without it.
    const int width = fm.horizontalAdvance(item.caption) + fm.horizontalAdvance(item.shortcut) + look.barWidth
        + Metrics::kExtraWidth;
    if (item.separator) return QSize(width, look.separatorHeight);
    return QSize(width, qMax(look.itemHeight, fm.height()));
}

namespace {

void DrawSeparator(QPainter& canvas, const QRect& r, const SuiMenuLook& look)
{
    if (DrawPictureStrip(canvas, r, look.style, SUI_THEME_MENU_ITEM_PICTURE, SUI_THEME_MENU_SEPARATOR_HEIGHT)) return;
    DrawItemBackground(canvas, r, look);
    const int y = r.y() + Metrics::kSeparatorLineTop;
    const int from
        = look.rightToLeft ? r.x() + Metrics::kSeparatorLineEnd : r.x() + look.barWidth + Metrics::kCaptionIndent;
    const int to = look.rightToLeft ? RectRight(r) - look.barWidth - Metrics::kCaptionIndent
                                    : RectRight(r) - Metrics::kSeparatorLineEnd;
    if (to > from) canvas.fillRect(from, y, to - from, 1, ToQColor(look.separatorColor));
}

void DrawItemFace(QPainter& canvas, const QRect& r, const SuiMenuLook& look, const SuiMenuItem& item)
{
    if (item.selected && item.enabled) {
        if (DrawPictureStrip(canvas, r, look.style, SUI_THEME_MENU_SELECTED_PICTURE, SUI_THEME_MENU_ITEM_HEIGHT))
            return;
        canvas.fillRect(r, ToQColor(look.selectedColor));
        canvas.setPen(ToQColor(look.selectedBorderColor));
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(r.adjusted(0, 0, -1, -1));
    } else if (!DrawPictureStrip(canvas, r, look.style, SUI_THEME_MENU_ITEM_PICTURE, SUI_THEME_MENU_ITEM_HEIGHT)) {
        DrawItemBackground(canvas, r, look);
    }
}

// The caption (with its access key underlined) and the short-cut text.
void DrawItemTexts(QPainter& canvas, const QRect& r, const SuiMenuLook& look, const SuiMenuItem& item)
{
    const QFont font = SuiMenuItemFont(look, item);
    canvas.setFont(font);
    const TColor textColor = !item.enabled ? kSuiMenuDisabledFontColor
        : item.selected                    ? look.selectedFontColor
                                           : look.fontColor;
    canvas.setPen(ToQColor(textColor));
    const int flags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignVCenter;
    if (look.rightToLeft) {
        canvas.drawText(RectLTRB(r.x() + look.barWidth, r.y(), RectRight(r) - Metrics::kCaptionIndent, RectBottom(r)),
                        flags | Qt::AlignRight, item.caption);
    } else {
        canvas.drawText(RectLTRB(r.x() + look.barWidth + Metrics::kCaptionIndent, r.y(), RectRight(r), RectBottom(r)),
                        flags | Qt::AlignLeft, item.caption);
    }
    if (item.shortcut.isEmpty()) return;
    const int w = QFontMetrics(font).horizontalAdvance(item.shortcut);
    const int left = look.rightToLeft ? r.x() + look.barWidth + Metrics::kCaptionIndent
                                      : RectRight(r) - w - Metrics::kShortcutPadding;
    canvas.drawText(RectLTRB(left, r.y(), RectRight(r), RectBottom(r)),
                    Qt::TextSingleLine | Qt::AlignVCenter | Qt::AlignLeft, item.shortcut);
}

// The check mark (a framed fill behind an image, or the check picture) and the item's image.
void DrawItemGlyph(QPainter& canvas, const QRect& r, const SuiMenuLook& look, const SuiMenuItem& item)
{
    const int x = look.rightToLeft ? RectRight(r) - Metrics::kGlyphFromRight : r.x() + Metrics::kGlyphLeft;
    const int y = r.y() + Metrics::kGlyphTop;
    if (item.checked) {
        if (!item.image.isNull()) {
            const int o = Metrics::kCheckFrameOutset;
            const int end = Metrics::kGlyphSize + o - 1;
            const QRect frame = RectLTRB(x - o, y - o, x + end, y + end);
            canvas.fillRect(frame, Qt::black);
            canvas.fillRect(frame.adjusted(1, 1, -1, -1), ToQColor(look.selectedColor));
        } else {
            const QImage& check = MenuCheckedPicture();
            canvas.drawImage(x, y, item.enabled ? check : GreyedCheck(check));
        }
    }
    const QIcon::Mode mode = item.enabled ? QIcon::Normal : QIcon::Disabled;
    if (!item.image.isNull())
        canvas.drawPixmap(x, y, item.image.pixmap(QSize(Metrics::kGlyphSize, Metrics::kGlyphSize), 1.0, mode));
}

}  // namespace

void DrawMenuItem(QPainter& canvas, const QRect& r, const SuiMenuLook& look, const SuiMenuItem& item)
{
    canvas.save();
    if (item.separator) {
        DrawSeparator(canvas, r, look);
    } else {
        DrawItemFace(canvas, r, look, item);
        DrawItemTexts(canvas, r, look, item);
        DrawItemGlyph(canvas, r, look, item);
    }
    canvas.restore();
}

void DrawFlatMenuBorder(QPainter& canvas, const QRect& w, TColor formColor)
{
    canvas.save();
    canvas.setBrush(Qt::NoBrush);
    // Frames as the window system draws them: Right and Bottom are exclusive.
    const QRect black = RectLTRB(w.x(), w.y() + 1, RectRight(w) - 1, RectBottom(w) - 1);
    canvas.setPen(Qt::black);
    canvas.drawRect(black.adjusted(0, 0, -1, -1));
    canvas.setPen(Qt::white);
    canvas.drawRect(black.adjusted(1, 1, -2, -2));
    const QColor form = ToQColor(formColor);
    canvas.fillRect(w.x(), RectBottom(w) - 1, w.width(), 1, form);
    canvas.fillRect(RectRight(w) - 1, w.y(), 1, w.height(), form);
    canvas.fillRect(w.x(), w.y(), w.width(), 1, form);
    canvas.restore();
}
