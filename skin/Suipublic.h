// Drawing and layout routines shared by the skinned controls.
//
// Rectangles follow one rule throughout: Right is r.x() + r.width() and Bottom is
// r.y() + r.height() (exclusive), never QRect::right()/bottom().
#pragma once

#include "skin/Suithemes.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QComboBox;
class QPainter;
class QWidget;

// A field colour kept in the widget's palette as the base colour of every colour
// group, so that it holds when the widget is read-only or disabled.
TColor PaletteBaseColor(const QWidget* w);
void SetPaletteBaseColor(QWidget* w, TColor c);

// Exclusive right and bottom edges of a rectangle.
inline int RectRight(const QRect& r) { return r.x() + r.width(); }
inline int RectBottom(const QRect& r) { return r.y() + r.height(); }
// The rectangle Left, Top, Right, Bottom (Right and Bottom exclusive).
inline QRect RectLTRB(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

// A 32-bit ARGB copy of img in which every pixel of colour mask is fully transparent
// and every other pixel is opaque.
QImage MaskedImage(const QImage& img, TColor mask);
// Draws img unscaled at (x, y), leaving the pixels of colour mask undrawn.
void DrawTransparent(QPainter& canvas, int x, int y, const QImage& img, TColor mask = kSuiTransparentColor);

// A one-pixel frame along the inside of r.
void FrameRect(QPainter& canvas, const QRect& r, TColor color);

// The focus mark: a dotted frame along the inside of r that inverts every other pixel under it.
void DrawFocusDots(QPainter& canvas, const QRect& r);

// What a control shows of its parent's colour: the parent's Color property when it has one, else
// the colour the parent's palette paints its background with.
QColor ColorOfParent(const QWidget& parent);

// Piece index (1-based) of a strip of count equal pieces; the last piece is taken
// from the right end of the strip. An index outside 1..count gives an empty image.
void SpitBitmap(const QImage& src, QImage* dst, int count, int index);

// Nine-region drawing of src into r (r is expected to start at the canvas origin):
// corners unscaled up to half the target, edges and centre stretched and masked.
void SpitDraw(const QImage& src, QPainter& canvas, const QRect& r, bool transparent);

// A three-piece strip (left end, middle, right end) across r. The mask is the strip's
// corner pixel (top-left with sampleTop, else bottom-left) when useCornerColor is set,
// else 0xFF00FF; the middle piece is laid on fill and stretched over r's height.
void SpitDrawHorizontal(const QImage& strip, QPainter& canvas, const QRect& r, bool useCornerColor, TColor fill,
                        bool sampleTop);

// A three-piece strip across r at the strip's own height; the ends are masked with
// transColor when transparent is set, the middle is stretched opaque.
// No control calls it today (the form paints its band in plain colours): kept for the file-theme path.
void SpitDrawHorizontal2(const QImage& strip, QPainter& canvas, const QRect& r, bool transparent, TColor transColor);

// Tiles pic from the canvas origin until r's width and height are covered.
void TileDraw(QPainter& canvas, const QImage& pic, const QRect& r);

// Shows the control's parent behind it: paints the parent's background and its own
// painting (not its other children) into the canvas, shifted by minus the control's
// position. Nothing when the control has no parent, or when the canvas paints on the
// control itself (Qt has already composed the parent there).
void DoTrans(QPainter& canvas, QWidget* control);

// A one-pixel frame in border along the control's outer edge and, with drawInner, a
// second one in inner just inside it.
void DrawControlBorder(QPainter& canvas, QWidget* control, TColor border, TColor inner, bool drawInner);

// Rows of r from `from` (first row) to `to` (last row).
// No control calls it today: kept for the file-theme path (a form band or menu bar in gradient colours).
void DrawHorizontalGradient(QPainter& canvas, const QRect& r, TColor from, TColor to);

// Turns the bitmap by 180 degrees.
void RoundPicture2(QImage& bmp);

// All four edges inclusive: a point on the right or bottom edge is inside.
bool InRect(const QPoint& p, const QRect& r);
bool InRect(int x, int y, const QRect& r);

void PlaceControl(QWidget* c, const QPoint& p);
void PlaceControl(QWidget* c, const QRect& r);

// The application's main window (the first window the program creates): it gives the screen of the
// work area, counts as focused for the forms' keys, minimises the whole application and answers
// Alt+Space. None until set.
void SetMainForm(QWidget* form);
QWidget* MainForm();

// The available geometry of the screen nearest to the main window, else of the primary screen.
QRect GetWorkAreaRect();
// Where a maximised skinned window goes: the work area enlarged by 2 pixels at the left, top and
// right (the frame band's outer pixels fall off the screen) and reduced by 1 at the bottom.
QRect GetMaximisedRect();

// Whether the form counts as focused for its key handling. No caller yet: kept for the form's keys.
bool FormHasFocus(QWidget* form);

// text, or its shortest prefix plus "..." that reaches width; text when none does.
// No caller today (the title bar cuts its caption itself): kept for the caption's rule.
QString FormatStringWithWidth(const QFontMetrics& fm, const QString& text, int width);

// Layout of a combo box, in the combo's own coordinates.
struct SuiComboBoxInfo {
    QRect item;               // the text area
    QRect button;             // the drop-down button
    QWidget* list = nullptr;  // the drop-down list's window (visible while dropped down)
};
// Fills info from the combo's style; false only when combo or info is null.
bool SUIGetComboBoxInfo(QComboBox* combo, SuiComboBoxInfo* info);
