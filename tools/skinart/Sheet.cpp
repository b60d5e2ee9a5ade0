#include "Sheet.h"
#include "Draw.h"

#include <QDir>
#include <QFont>
#include <QPainter>

#include <algorithm>

namespace skinart {
namespace {

const QImage* Find(const QList<Resource>& all, const QString& name)
{
    for (const Resource& r : all)
        if (r.name == name) return &r.image;
    return nullptr;
}

QImage Piece(const QImage& strip, int count, int index)
{
    const int w = strip.width() / count;
    return strip.copy(index == count ? strip.width() - w : (index - 1) * w, 0, w, strip.height());
}

// Magenta (or another key colour) made see-through, for the mock-ups.
QImage Keyed(const QImage& img, QRgb key = kMagenta)
{
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000) == (key | 0xFF000000)) line[x] = 0;
    }
    return out;
}

// A plain nine-slice: corners kept, the middle row and column stretched.
void NineSlice(QPainter& p, const QImage& src, const QRect& r)
{
    const int hw = src.width() / 2, hh = src.height() / 2;
    const int cw = std::min(hw, r.width() / 2), ch = std::min(hh, r.height() / 2);
    const int rw = src.width() - hw - 1, rh = src.height() - hh - 1;
    const int rcw = std::min(rw, r.width() - cw), rch = std::min(rh, r.height() - ch);
    const QImage k = Keyed(src);
    p.drawImage(QRect(r.left(), r.top(), cw, ch), k, QRect(0, 0, cw, ch));
    p.drawImage(QRect(r.right() + 1 - rcw, r.top(), rcw, ch), k, QRect(src.width() - rcw, 0, rcw, ch));
    p.drawImage(QRect(r.left(), r.bottom() + 1 - rch, cw, rch), k, QRect(0, src.height() - rch, cw, rch));
    p.drawImage(QRect(r.right() + 1 - rcw, r.bottom() + 1 - rch, rcw, rch), k,
                QRect(src.width() - rcw, src.height() - rch, rcw, rch));
    const int midW = r.width() - cw - rcw, midH = r.height() - ch - rch;
    p.drawImage(QRect(r.left() + cw, r.top(), midW, ch), k, QRect(hw, 0, 1, ch));
    p.drawImage(QRect(r.left() + cw, r.bottom() + 1 - rch, midW, rch), k, QRect(hw, src.height() - rch, 1, rch));
    p.drawImage(QRect(r.left(), r.top() + ch, cw, midH), k, QRect(0, hh, cw, 1));
    p.drawImage(QRect(r.right() + 1 - rcw, r.top() + ch, rcw, midH), k, QRect(src.width() - rcw, hh, rcw, 1));
    p.drawImage(QRect(r.left() + cw, r.top() + ch, midW, midH), k, QRect(hw, hh, 1, 1));
}

// Three equal pieces: ends unscaled, the middle stretched.
void ThreePiece(QPainter& p, const QImage& src, const QRect& r)
{
    const int pw = src.width() / 3;
    const QImage k = Keyed(src);
    p.drawImage(r.left(), r.top(), k, 0, 0, pw, src.height());
    p.drawImage(r.right() + 1 - pw, r.top(), k, src.width() - pw, 0, pw, src.height());
    p.drawImage(QRect(r.left() + pw, r.top(), r.width() - 2 * pw, src.height()), k, QRect(pw, 0, pw, src.height()));
}

// A picture of the style's theme table, by element.
QImage Picture(const QList<Resource>& all, Style s, int element)
{
    return *Find(all, GetInsideThemePictureName(s, element));
}

QColor ThemeColor(Style s, int element) { return ToQColor(GetInsideThemeColor(s, element)); }

QFont SheetFont(bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

constexpr int kMockWidth = 400;

// Title bars at rest, under the pointer and held, with minimise, maximise and close, placed where
// the skin's table puts the buttons. Returns the row below them.
int DrawTitleBars(QPainter& p, const QList<Resource>& all, Style s, int y)
{
    const int W = kMockWidth;
    const QImage left = Picture(all, s, SUI_THEME_TITLE_LEFT_PICTURE),
                 client = Picture(all, s, SUI_THEME_TITLE_CLIENT_PICTURE),
                 right = Picture(all, s, SUI_THEME_TITLE_RIGHT_PICTURE),
                 buttons = Picture(all, s, SUI_THEME_TITLE_BUTTON_STRIP);
    const QImage icon = AppIcon().scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const int buttonTop = GetInsideThemeInt(s, SUI_THEME_TITLE_BUTTON_TOP);
    const int rightOffset = GetInsideThemeInt(s, SUI_THEME_TITLE_RIGHT_BUTTON_OFFSET);
    const bool masked = GetInsideThemeBool(s, SUI_THEME_TITLE_BUTTON_TRANSPARENT);
    for (int state = 0; state < 3; ++state) {
        p.drawImage(10, y, left);
        p.drawImage(10 + W - right.width(), y, right);
        if (W - right.width() > left.width())
            p.drawImage(QRect(10 + left.width(), y, W - right.width() - left.width(), client.height()), client);
        int cursor = W + rightOffset - 1;
        for (int last : {18, 9, 15}) {
            QImage pic = Piece(buttons, 18, last - 2 + state);
            cursor -= pic.width() + (last == 18 ? 0 : 1);
            if (cursor + pic.width() > W - 1) cursor = W - pic.width() - 1;
            if (masked) pic = Keyed(pic, pic.pixel(0, pic.height() - 1));
            p.drawImage(10 + cursor, y + buttonTop, pic);
        }
        p.drawImage(10 + 3 + 3, y + buttonTop, icon);
        p.setFont(SheetFont(true));
        p.setPen(ThemeColor(s, SUI_THEME_TITLE_FONT_COLOR));
        p.drawText(10 + 24, y + buttonTop + GetInsideThemeInt(s, SUI_THEME_TITLE_CAPTION_TOP), 300, 16,
                   Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Orvane V1.00.05 2012-11-7"));
        y += left.height() + 6;
    }
    return y;
}

// Buttons in their three states at two sizes, and one on the page picture.
int DrawButtons(QPainter& p, const QList<Resource>& all, Style s, int y)
{
    p.setFont(SheetFont(false));
    p.setPen(Qt::black);
    const QImage strip = Picture(all, s, SUI_THEME_BUTTON_STRIP);
    for (int i = 1; i <= 3; ++i) {
        const QRect a(10 + (i - 1) * 95, y, 80, 27), b(10 + (i - 1) * 95, y + 34, 65, 23);
        NineSlice(p, Piece(strip, 3, i), a);
        NineSlice(p, Piece(strip, 3, i), b);
        p.drawText(a, Qt::AlignCenter, QStringLiteral("Com Setting"));
        p.drawText(b, Qt::AlignCenter, QStringLiteral("Read"));
    }
    static const QImage page = PageBackground();
    p.drawImage(QRect(295, y, 115, 64), page, QRect(0, 0, 115, 64));
    NineSlice(p, Piece(strip, 3, 1), QRect(310, y + 8, 65, 23));
    p.drawText(QRect(310, y + 8, 65, 23), Qt::AlignCenter, QStringLiteral("Write"));
    return y + 70;
}

// A tab row: the active tab, an inactive one, the base line and the scroll buttons.
int DrawTabRow(QPainter& p, const QList<Resource>& all, Style s, int y)
{
    const int W = kMockWidth;
    const QColor form = ThemeColor(s, SUI_THEME_FORM_COLOR), page = ThemeColor(s, SUI_THEME_TAB_PAGE_AREA_COLOR);
    const QImage tabs = Picture(all, s, SUI_THEME_TAB_STRIP), line = Picture(all, s, SUI_THEME_TAB_LINE);
    const QImage scroll = Picture(all, s, SUI_THEME_TAB_SCROLL_BUTTON_STRIP);
    const int hi = tabs.height(), hl = line.height();
    p.fillRect(QRect(10, y, W, hi + hl + 40), form);
    p.drawImage(QRect(11, y + hi, W - 2, hl), line);
    p.fillRect(QRect(10, y + hi + hl, W, 40), page);
    p.setPen(ThemeColor(s, SUI_THEME_CONTROL_BORDER_COLOR));
    p.drawLine(10, y + hi, 10, y + hi + hl + 39);
    p.drawLine(10 + W - 1, y + hi, 10 + W - 1, y + hi + hl + 39);
    p.drawLine(10, y + hi + hl + 39, 10 + W - 1, y + hi + hl + 39);
    ThreePiece(p, Piece(tabs, 2, 2), QRect(20 + 110, y, 90, hi));
    ThreePiece(p, Piece(tabs, 2, 1), QRect(20, y + 1, 110, hi));
    p.setPen(Qt::black);
    p.drawText(QRect(20, y + 1, 110, hi), Qt::AlignCenter, QStringLiteral("Radio Parameters"));
    p.drawText(QRect(130, y, 90, hi), Qt::AlignCenter, QStringLiteral("Other"));
    const int bw = scroll.width() / 4, by = y + std::max(0, (hi + hl - scroll.height()) / 2 - 2);
    p.drawImage(10 + W - 2 * bw - 2, by, Piece(scroll, 4, 3));
    p.drawImage(10 + W - bw - 2, by, Piece(scroll, 4, 2));
    return y + hi + hl + 50;
}

// The combo box button, where the style has one, with an arrow drawn over a face that has none.
void DrawComboBox(QPainter& p, const QImage& button, Style s, int y)
{
    p.fillRect(QRect(10, y, 120, 21), Qt::white);
    p.setPen(ThemeColor(s, SUI_THEME_CONTROL_BORDER_COLOR));
    p.drawRect(10, y, 119, 20);
    p.drawImage(QRect(10 + 120 - 19, y + 2, 17, 17), button);
    if (!GetInsideThemeBool(s, SUI_THEME_COMBOBOX_BUTTON_ARROW)) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygon(
            {QPoint(10 + 120 - 19 + 5, y + 8), QPoint(10 + 120 - 19 + 11, y + 8), QPoint(10 + 120 - 19 + 8, y + 11)}));
    }
    p.setPen(Qt::black);
    p.drawText(QRect(14, y, 90, 21), Qt::AlignVCenter, QStringLiteral("9600"));
}

// The window menu's pictures, where the style has them: the bar, a selected item and a checked one.
void DrawMenuPictures(QPainter& p, const QList<Resource>& all, Style s, int y)
{
    const QImage bar = Picture(all, s, SUI_THEME_MENU_ITEM_PICTURE),
                 sel = Picture(all, s, SUI_THEME_MENU_SELECTED_PICTURE);
    p.drawImage(QRect(150, y, 120, 20), bar, QRect(0, 0, 1, 20));
    p.drawImage(QRect(150, y + 20, 120, 20), sel, QRect(0, 0, 1, 20));
    p.drawImage(QRect(150, y + 40, 120, 12), bar, QRect(0, 0, 1, 12));
    p.drawImage(QRect(150, y + 52, 120, 20), bar, QRect(0, 0, 1, 20));
    p.setPen(Qt::black);
    p.drawText(QRect(180, y, 90, 20), Qt::AlignVCenter, QStringLiteral("Minimize"));
    p.setPen(Qt::white);
    p.drawText(QRect(180, y + 20, 90, 20), Qt::AlignVCenter, QStringLiteral("Maximize/Restore"));
    p.setPen(Qt::black);
    p.drawText(QRect(180, y + 52, 90, 20), Qt::AlignVCenter, QStringLiteral("Close"));
    p.drawImage(154, y + 52 + 3, Keyed(*Find(all, "MENU_CHECKED"), 0xFFFFFFFF));
}

QImage MockUp(const QList<Resource>& all, Style s)
{
    QImage img(kMockWidth + 20, 330, QImage::Format_RGB32);
    img.fill(ThemeColor(s, SUI_THEME_FORM_COLOR));
    QPainter p(&img);
    int y = DrawTitleBars(p, all, s, 10);
    y = DrawButtons(p, all, s, y);
    y = DrawTabRow(p, all, s, y);
    if (const QImage* combo = Find(all, Prefix(s) + QStringLiteral("_COMBOBOX_BUTTON"))) DrawComboBox(p, *combo, s, y);
    if (!GetInsideThemePictureName(s, SUI_THEME_MENU_ITEM_PICTURE).isEmpty()) DrawMenuPictures(p, all, s, y);
    p.end();
    return img;
}

QImage Enlarged(const QList<const Resource*>& items, int scale)
{
    QFont label(QStringLiteral("DejaVu Sans"));
    label.setPixelSize(12);
    int w = 0, h = 0;
    for (const Resource* r : items) {
        w = std::max(w, r->image.width() * scale + 20);
        h += r->image.height() * scale + 26;
    }
    QImage img(std::max(w, 300), h + 10, QImage::Format_RGB32);
    img.fill(QColor("#9aa0a8"));
    QPainter p(&img);
    p.setFont(label);
    int y = 6;
    for (const Resource* r : items) {
        p.setPen(Qt::black);
        p.drawText(10, y + 12, QStringLiteral("%1  %2 x %3").arg(r->name).arg(r->image.width()).arg(r->image.height()));
        y += 16;
        p.drawImage(QRect(10, y, r->image.width() * scale, r->image.height() * scale), r->image);
        y += r->image.height() * scale + 10;
    }
    p.end();
    return img;
}

QImage Stack(const QImage& top, const QImage& bottom)
{
    QImage img(std::max(top.width(), bottom.width()), top.height() + bottom.height(), QImage::Format_RGB32);
    img.fill(QColor("#9aa0a8"));
    QPainter p(&img);
    p.drawImage(0, 0, top);
    p.drawImage(0, top.height(), bottom);
    return img;
}

}  // namespace

bool WriteContactSheets(const QList<Resource>& all, const QString& dir)
{
    QDir().mkpath(dir);
    QList<const Resource*> shared;
    for (Style s : kStyles) {
        QList<const Resource*> mine;
        for (const Resource& r : all)
            if (r.name.startsWith(Prefix(s) + QLatin1Char('_'))) mine.append(&r);
        const QImage mock = MockUp(all, s);
        const QImage sheet = Stack(mock.scaled(mock.size() * 2), Enlarged(mine, 4));
        if (!sheet.save(dir + QLatin1Char('/') + SheetName(s) + QStringLiteral(".png"))) return false;
    }
    for (const Resource& r : all) {
        bool owned = false;
        for (Style s : kStyles)
            owned = owned || r.name.startsWith(Prefix(s) + QLatin1Char('_'));
        if (!owned && r.image.width() < 100) shared.append(&r);
    }
    if (!Enlarged(shared, 8).save(dir + QStringLiteral("/shared.png"))) return false;

    // The page as the main window shows it: the top-left 405 x 382 of the picture under a group box,
    // with the status line below.
    QImage page(405, 382 + 28, QImage::Format_RGB32);
    QPainter p(&page);
    p.drawImage(0, 0, PageBackground());
    p.drawImage(QRect(0, 382, 405, 28), StatusGradient());
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    p.setFont(font);
    for (int i = 0; i < 5; ++i) {
        const QRect box(46, 8 + i * 74, 313, 66);
        p.setPen(QColor("#7f7f7f"));
        p.drawLine(box.left() + 2, box.top() + 6, box.left(), box.top() + 6);
        p.drawLine(box.left(), box.top() + 6, box.left(), box.bottom());
        p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
        p.drawLine(box.right(), box.bottom(), box.right(), box.top() + 6);
        p.drawLine(box.right(), box.top() + 6, box.left() + 80, box.top() + 6);
        p.setPen(Qt::black);
        p.drawText(box.left() + 5, box.top() + 10, QStringLiteral("Channel"));
    }
    p.drawText(QRect(0, 382, 405, 28), Qt::AlignCenter, QStringLiteral("COM1 Open  Read channel parameters Success!"));
    p.end();
    return page.save(dir + QStringLiteral("/page.png"));
}

}  // namespace skinart
