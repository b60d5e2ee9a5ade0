// The skinned push button: its face comes from the style's three-piece button strip.
#pragma once

#include "skin/Suimgr.h"
#include "skin/Suithemes.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class QAction;
class QPainter;
class QTimer;

// What one paint of a button shows, decoded from the button before anything is drawn; the paint
// routines read it and change nothing.
struct SuiButtonState {
    bool enabled = true;
    bool pressed = false;  // held down by the mouse or a key
    bool hovered = false;
    bool focused = false;      // has the focus, with TabStop on
    bool boldCaption = false;  // focus shown by a bold caption instead of the dotted frame

    // The caption sinks with an enabled face only; the glyph with any press.
    QPoint CaptionShift() const { return pressed && enabled ? QPoint(1, 1) : QPoint(); }
    QPoint GlyphShift() const { return pressed ? QPoint(1, 1) : QPoint(); }
};

// State machine, painting frame and keyboard handling of a skinned button. The face
// itself is drawn by PaintPic (TsuiButton).
class TsuiCustomButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(Sui::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE setFileTheme)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool PicTransparent READ PicTransparent WRITE setPicTransparent)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE setModalResult)
    Q_PROPERTY(bool Default READ Default WRITE setDefault)
    Q_PROPERTY(bool Cancel READ Cancel WRITE setCancel)
    Q_PROPERTY(int FocusedRectMargin READ FocusedRectMargin WRITE setFocusedRectMargin)
    Q_PROPERTY(
        int MouseContinuouslyDownInterval READ MouseContinuouslyDownInterval WRITE setMouseContinuouslyDownInterval)
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)
    Q_PROPERTY(TColor FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(QAction* Action READ Action WRITE setAction)
public:
    explicit TsuiCustomButton(QWidget* parent = nullptr);

    TsuiUIStyle UIStyle() const { return m_uiStyle; }
    void setUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return m_fileTheme; }
    void setFileTheme(TsuiFileTheme* theme);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool on);
    bool PicTransparent() const { return m_picTransparent; }
    void setPicTransparent(bool on);
    int ModalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }
    bool Default() const { return m_default; }
    void setDefault(bool on) { m_default = on; }
    bool Cancel() const { return m_cancel; }
    void setCancel(bool on) { m_cancel = on; }
    int FocusedRectMargin() const { return m_focusedRectMargin; }
    void setFocusedRectMargin(int margin);
    int MouseContinuouslyDownInterval() const { return m_repeatInterval; }
    void setMouseContinuouslyDownInterval(int ms) { m_repeatInterval = ms; }
    bool TabStop() const { return m_tabStop; }
    void setTabStop(bool on);
    TColor FontColor() const { return m_fontColor; }
    void setFontColor(TColor color);
    QAction* Action() const { return m_action; }
    void setAction(QAction* action);

    // The colour behind an opaque face: the parent's Color property when it has one,
    // else the colour its palette paints its background with.
    QColor Color() const;

    bool Hovered() const { return m_hover; }
    bool Pressed() const { return m_pressed; }
    // Whether Enter clicks this button: it holds the focus, or no button does and it
    // is the Default button.
    bool IsActive() const;
    // Exists only while a press repeats.
    QTimer* RepeatTimer() const { return m_repeatTimer; }

    // Ends a press, hands ModalResult to the window and raises OnClick.
    virtual void Click();

signals:
    void OnClick();
    void OnMouseEnter();
    void OnMouseExit();
    void OnMouseContinuouslyDown();

protected:
    virtual void AutoSizeChanged();
    virtual void CaptionChanged() { }
    virtual void FontChanged();
    virtual void TransparentChanged();
    virtual void EnableChanged() { }
    virtual void UIStyleChanged() { }
    virtual void PaintPic(QPainter& p, const QImage& face, const SuiButtonState& state) const;
    virtual void PaintText(QPainter& p, const QString& text, const SuiButtonState& state) const;
    virtual void PaintFocus(QPainter& p, const SuiButtonState& state) const;
    virtual void PaintButtonNormal(QImage& face) const;
    virtual void PaintButtonMouseOn(QImage& face) const;
    virtual void PaintButtonMouseDown(QImage& face) const;
    virtual void PaintButtonDisabled(QImage& face) const;
    virtual void ActionChange();
    // The state the next paint shows.
    virtual SuiButtonState PaintState() const;

    // The style the built-in table is read with (DeepBlue for an unusable file theme).
    TsuiUIStyle EffectiveStyle() const;
    // Piece 1..3 of the style's button strip.
    void FetchStripPiece(QImage& face, int piece) const;

    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    friend class SuiDialogKeys;

    // Enter, Escape and accelerator characters reach the buttons of a window through one
    // application-wide filter, installed by the first button.
    static void InstallDialogKeys();
    // The face picture of a state: piece 1, 2 or 3 of the strip, or a blank face.
    QImage Face(const SuiButtonState& state) const;
    void DestroyRepeatTimer();
    void CancelMode();
    bool CanTakeFocus() const;
    QChar Accelerator() const;

    TsuiUIStyle m_uiStyle = DeepBlue;
    QPointer<TsuiFileTheme> m_fileTheme;
    QString m_caption;
    bool m_autoSize = false;
    bool m_transparent = false;
    bool m_picTransparent = false;
    int m_modalResult = 0;
    bool m_default = false;
    bool m_cancel = false;
    int m_focusedRectMargin = 2;
    int m_repeatInterval = 100;
    bool m_tabStop = true;
    TColor m_fontColor = 0x000000;
    QPointer<QAction> m_action;

    bool m_hover = false;
    bool m_pressed = false;
    bool m_clickPending = false;
    QTimer* m_repeatTimer = nullptr;
};

// The push button: nine-region face, an optional glyph beside the caption.
class TsuiButton : public TsuiCustomButton {
    Q_OBJECT
    Q_PROPERTY(QImage Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(TButtonLayout Layout READ Layout WRITE setLayout)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(uint ResHandle READ ResHandle WRITE setResHandle)
public:
    enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
    Q_ENUM(TButtonLayout)

    explicit TsuiButton(QWidget* parent = nullptr);

    QImage Glyph() const { return m_glyph; }
    void setGlyph(const QImage& glyph);
    TButtonLayout Layout() const { return m_layout; }
    void setLayout(TButtonLayout layout);
    int Spacing() const { return m_spacing; }
    void setSpacing(int spacing);
    // Kept for compatibility of stored settings: always 0, writes are ignored.
    uint ResHandle() const { return 0; }
    void setResHandle(uint) { }

    // The button's text position: where the caption starts when a glyph is shown, unpressed; (0, 0)
    // without a glyph. Read by no control of ours: the paint computes it with the glyph's place.
    QPoint TextPosition() const;

protected:
    void UIStyleChanged() override;
    void PaintPic(QPainter& p, const QImage& face, const SuiButtonState& state) const override;
    void PaintText(QPainter& p, const QString& text, const SuiButtonState& state) const override;
    void PaintFocus(QPainter& p, const SuiButtonState& state) const override;
    void ActionChange() override;
    SuiButtonState PaintState() const override;

private:
    // Where the glyph and the caption go, unpressed.
    struct GlyphPlaces {
        QPoint glyph;
        QPoint text;
    };
    GlyphPlaces PlaceGlyph() const;
    void DrawGlyph(QPainter& p, QPoint at, bool enabled) const;

    QImage m_glyph;
    TButtonLayout m_layout = blGlyphLeft;
    int m_spacing = 4;
};
