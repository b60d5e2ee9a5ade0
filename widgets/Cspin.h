// A pair of stacked arrow buttons that step a value, with auto-repeat while held.
#pragma once

#include "skin/Suithemes.h"

#include <QImage>
#include <QPointer>
#include <QToolButton>

class QTimer;

// A speed button that repeats its click while the left mouse button is held on it:
// the first repeat comes 400 ms after the press, the next ones every 100 ms.
class TTimerSpeedButton : public QToolButton {
    Q_OBJECT
public:
    enum TimerFlag { tfDrawFocus = 0x1, tfAutoRepeat = 0x2 };
    Q_DECLARE_FLAGS(TTimerFlags, TimerFlag)

    static constexpr int kFirstRepeatMs = 400;
    static constexpr int kRepeatMs = 100;

    explicit TTimerSpeedButton(QWidget* parent = nullptr);

    TTimerFlags TimerFlags() const { return m_flags; }
    void setTimerFlags(TTimerFlags flags);

    // The picture shown on the face; its bottom-left pixel's colour is transparent. A twice-size
    // picture (device pixel ratio 2), when given, is shown on screens above a ratio of 1.
    QImage Glyph() const { return m_glyph; }
    void setGlyph(const QImage& glyph, const QImage& glyph2x = QImage());

    // One repeat step. Public so that the repeat can be driven without waiting
    // for the clock (the timer calls it on each tick).
    void TimerExpired();

    // The repeat timer: absent until the first press that arms it, then kept (a child
    // of the button) and reused.
    QTimer* RepeatTimer() const { return m_repeatTimer; }

    // The face is the style's button picture (normal, under the pointer, held down).
    TsuiUIStyle UIStyle() const { return m_style; }
    void setUIStyle(TsuiUIStyle style);
    // Where the glyph and the focus mark are drawn in the current state.
    QRect GlyphRect() const;
    QRect FocusRect() const;

signals:
    // Raised at every mouse press before the arrow handles it.
    void MouseDown(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void RepeatClick();

    TTimerFlags m_flags;
    TsuiUIStyle m_style = DeepBlue;
    QImage m_glyph;
    QTimer* m_repeatTimer = nullptr;
    bool m_holdsMouse = false;  // from a left press on the arrow until its release, wherever the pointer is
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TTimerSpeedButton::TTimerFlags)

// Two arrows stacked one above the other; the upper raises OnUpClick, the lower
// OnDownClick. Both signals are emitted by the spin button itself.
class TCSpinButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QImage UpGlyph READ UpGlyph WRITE SetUpGlyph)
    Q_PROPERTY(QImage DownGlyph READ DownGlyph WRITE SetDownGlyph)
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)
    Q_PROPERTY(QWidget* FocusControl READ FocusControl WRITE setFocusControl)
public:
    static constexpr int kMinWidth = 15;

    explicit TCSpinButton(QWidget* parent = nullptr);

    // Places and sizes the control after the size rule (AdjustSize) has been applied.
    void SetBounds(int left, int top, int width, int height);
    // The size rule: the width is at least 15; the arrows split the height, sharing one row.
    void AdjustSize(int& width, int& height);

    TTimerSpeedButton* UpButton() const { return m_upButton; }
    TTimerSpeedButton* DownButton() const { return m_downButton; }
    TTimerSpeedButton* FocusedButton() const { return m_focusedButton; }
    void SetFocusBtn(TTimerSpeedButton* button);

    // A null image restores the built-in "SpinUp" / "SpinDown" picture.
    QImage UpGlyph() const;
    void SetUpGlyph(const QImage& glyph);
    QImage DownGlyph() const;
    void SetDownGlyph(const QImage& glyph);

    bool TabStop() const { return m_tabStop; }
    void setTabStop(bool on);

    // The look of both arrows; a new spin button takes its window's frame style.
    TsuiUIStyle UIStyle() const { return m_upButton->UIStyle(); }
    void setUIStyle(TsuiUIStyle style);

    // Receives the keyboard focus when an arrow is pressed with the mouse; not owned.
    QWidget* FocusControl() const { return m_focusControl; }
    void setFocusControl(QWidget* control) { m_focusControl = control; }

signals:
    void OnUpClick();
    void OnDownClick();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TTimerSpeedButton* CreateButton();
    void BtnClick(TTimerSpeedButton* sender);
    void BtnMouseDown(TTimerSpeedButton* sender, Qt::MouseButton button);
    bool CanFocus() const;
    static void SetDrawFocus(TTimerSpeedButton* button, bool on);

    TTimerSpeedButton* m_upButton = nullptr;
    TTimerSpeedButton* m_downButton = nullptr;
    TTimerSpeedButton* m_focusedButton = nullptr;
    QPointer<QWidget> m_focusControl;
    bool m_tabStop = false;
};
