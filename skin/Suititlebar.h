// The drawn title bar of a skinned window: picture sections, the application icon, the
// caption, the title-bar buttons and the window menu.
#pragma once

#include "skin/SkinPictures.h"
#include "skin/Suimetrics.h"
#include "skin/Suimgr.h"
#include "skin/Suipopupmenu.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TsuiTitleBar;

enum TsuiTitleBarAlign { suiLeft, suiRight, suiClient };
enum TsuiTitleBarBtnType { suiMax, suiMin, suiClose, suiHelp, suiControlBox, suiCustom };

// The skin's configuration errors: a modal error box titled "Error", through the program's boxes.
void ShowSuiErrorBox(QWidget* parent, const QString& text);

// Shows title bars to assistive technology, their painted buttons as push buttons. Once is enough.
void RegisterTitleBarAccessibility();

class TsuiTitleBarSections;
class TsuiTitleBarButtons;

class TsuiTitleBarSection {
public:
    explicit TsuiTitleBarSection(TsuiTitleBarSections* owner)
        : m_owner(owner)
    { }

    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    // With AutoSize the width follows the picture.
    int Width() const;
    void setWidth(int width);
    TsuiTitleBarAlign Align() const { return m_align; }
    // A second suiClient section is refused with an error box.
    void setAlign(TsuiTitleBarAlign align);
    // Decoded when first drawn.
    const QImage& Picture() const { return m_picture.Image(); }
    // At a device pixel ratio above 1, the twice-size picture when there is one.
    const QImage& Picture(qreal devicePixelRatio) const { return m_picture.Image(devicePixelRatio); }
    QSize PictureSize() const { return m_picture.Size(); }
    void setPicture(const LazySkinPicture& picture);
    // Kept as the section's published fields: the bar stretches its client section whatever Stretch
    // says, and the windows have no caption-wide (CapSec) section.
    bool Stretch() const { return m_stretch; }
    void setStretch(bool on);
    bool CapSec() const { return m_capSec; }
    void setCapSec(bool on);

private:
    TsuiTitleBarSections* m_owner;
    bool m_autoSize = false;
    int m_width = 10;
    TsuiTitleBarAlign m_align = suiLeft;
    LazySkinPicture m_picture;
    bool m_stretch = false;
    bool m_capSec = false;
};

class TsuiTitleBarSections {
public:
    explicit TsuiTitleBarSections(TsuiTitleBar* bar)
        : m_bar(bar)
    { }

    TsuiTitleBarSection* Add();
    void Clear();
    int Count() const { return int(m_items.size()); }
    TsuiTitleBarSection* Items(int index) const { return m_items.at(std::size_t(index)).get(); }
    TsuiTitleBar* Bar() const { return m_bar; }
    void Changed();

private:
    TsuiTitleBar* m_bar;
    std::vector<std::unique_ptr<TsuiTitleBarSection>> m_items;
};

class TsuiTitleBarButton {
public:
    explicit TsuiTitleBarButton(TsuiTitleBarButtons* owner)
        : m_owner(owner)
    { }

    TsuiTitleBarBtnType ButtonType() const { return m_type; }
    // A second suiControlBox button is refused with an error box.
    void setButtonType(TsuiTitleBarBtnType type);
    bool Visible() const { return m_visible; }
    void setVisible(bool on);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool on);
    // Stored only: the bar draws every button at its own button top.
    int Top() const { return m_top; }
    void setTop(int top);
    TsuiUIStyle UIStyle() const { return m_style; }
    void setUIStyle(TsuiUIStyle style);
    // The button's own menu, published for a control box; the windows give none and get the window menu.
    QMenu* ControlBoxMenu() const { return m_controlBoxMenu; }
    void setControlBoxMenu(QMenu* menu);
    // Decoded when first drawn.
    const QImage& PicNormal() const { return m_picNormal.Image(); }
    const QImage& PicMouseOn() const { return m_picMouseOn.Image(); }
    const QImage& PicMouseDown() const { return m_picMouseDown.Image(); }
    // The picture for a state at a device pixel ratio: held down, under the pointer, or at rest.
    const QImage& Pic(bool hovered, bool down, qreal devicePixelRatio) const
    {
        return (hovered && down ? m_picMouseDown : hovered ? m_picMouseOn : m_picNormal).Image(devicePixelRatio);
    }
    QSize PicSize() const { return m_picNormal.Size(); }
    // A custom button's own pictures; the built-in types take theirs from the style.
    void setPictures(const QImage& normal, const QImage& mouseOn, const QImage& mouseDown);
    bool HasPictures() const;

    // The maximise button shows the restore pictures while the host is maximised.
    void ShowRestorePictures(bool restore);

private:
    void LoadPictures(int lastPiece);

    TsuiTitleBarButtons* m_owner;
    TsuiTitleBarBtnType m_type = suiCustom;
    bool m_visible = true;
    bool m_transparent = false;
    int m_top = 2;
    TsuiUIStyle m_style = DeepBlue;
    QPointer<QMenu> m_controlBoxMenu;
    LazySkinPicture m_picNormal;
    LazySkinPicture m_picMouseOn;
    LazySkinPicture m_picMouseDown;
};

class TsuiTitleBarButtons {
public:
    explicit TsuiTitleBarButtons(TsuiTitleBar* bar)
        : m_bar(bar)
    { }

    TsuiTitleBarButton* Add();
    TsuiTitleBarButton* Add(TsuiTitleBarBtnType type);
    void Clear();
    int Count() const { return int(m_items.size()); }
    TsuiTitleBarButton* Items(int index) const { return m_items.at(std::size_t(index)).get(); }
    // Index of the first button of that type at or after `from`, visible ones only unless told
    // otherwise; -1 when there is none.
    int IndexOf(TsuiTitleBarBtnType type, int from = 0, bool visibleOnly = true) const;
    TsuiTitleBar* Bar() const { return m_bar; }
    void Changed();

private:
    TsuiTitleBar* m_bar;
    std::vector<std::unique_ptr<TsuiTitleBarButton>> m_items;
};

// The window menu under the icon: Minimize, Maximize/Restore, a separator and Close,
// each enabled only while the title bar has the matching visible button.
class TsuiTitleBarPopupMenu : public TsuiPopupMenu {
    Q_OBJECT
public:
    explicit TsuiTitleBarPopupMenu(TsuiTitleBar* bar);

    QAction* MinimizeItem() const { return m_minimize; }
    QAction* MaximizeItem() const { return m_maximize; }
    QAction* CloseItem() const { return m_close; }
    // Enables the items from the bar's buttons.
    void UpdateItems();

private:
    TsuiTitleBar* m_bar;
    QAction* m_minimize;
    QAction* m_maximize;
    QAction* m_close;
};

class TsuiTitleBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Custom READ Custom WRITE setCustom)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE setFileTheme)
    Q_PROPERTY(Sui::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(int ButtonInterval READ ButtonInterval WRITE setButtonInterval)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool FormActive READ FormActive WRITE setFormActive)
    Q_PROPERTY(int LeftBtnXOffset READ LeftBtnXOffset WRITE setLeftBtnXOffset)
    Q_PROPERTY(int RightBtnXOffset READ RightBtnXOffset WRITE setRightBtnXOffset)
    Q_PROPERTY(bool DrawAppIcon READ DrawAppIcon WRITE setDrawAppIcon)
    Q_PROPERTY(int RoundCorner READ RoundCorner WRITE setRoundCorner)
    Q_PROPERTY(int RoundCornerBottom READ RoundCornerBottom WRITE setRoundCornerBottom)
    Q_PROPERTY(TColor InactiveCaptionColor READ InactiveCaptionColor WRITE setInactiveCaptionColor)
    Q_PROPERTY(TColor FontColor READ FontColor WRITE setFontColor)

public:
    explicit TsuiTitleBar(QWidget* parent = nullptr);

    bool Custom() const { return m_custom; }
    void setCustom(bool on) { m_custom = on; }
    TsuiFileTheme* FileTheme() const { return m_fileTheme; }
    void setFileTheme(TsuiFileTheme* theme);
    TsuiUIStyle UIStyle() const { return m_style; }
    void setUIStyle(TsuiUIStyle style);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    int ButtonInterval() const { return m_buttonInterval; }
    void setButtonInterval(int pixels);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool FormActive() const { return m_formActive; }
    void setFormActive(bool active);
    int LeftBtnXOffset() const { return m_leftBtnXOffset; }
    void setLeftBtnXOffset(int x);
    int RightBtnXOffset() const { return m_rightBtnXOffset; }
    void setRightBtnXOffset(int x);
    bool DrawAppIcon() const { return m_drawAppIcon; }
    void setDrawAppIcon(bool on);
    int RoundCorner() const { return m_roundCorner; }
    void setRoundCorner(int radius);
    int RoundCornerBottom() const { return m_roundCornerBottom; }
    void setRoundCornerBottom(int radius);
    // Until set, the palette's inactive window text, made lighter or darker just as far as it must
    // be to read on the pictures under the caption; the style setter leaves it alone.
    TColor InactiveCaptionColor() const;
    void setInactiveCaptionColor(TColor c);
    TColor FontColor() const { return m_fontColor; }
    void setFontColor(TColor c);

    TsuiTitleBarSections& Sections() { return m_sections; }
    TsuiTitleBarButtons& Buttons() { return m_buttons; }
    TsuiTitleBarPopupMenu* WindowMenu() const { return m_windowMenu; }

    // The window the bar belongs to (the frame's host inside a frame).
    QWidget* Host() const;
    // Inside a frame the bar's pictures continue into the frame band.
    bool InsideFrame() const;
    // How far the band reaches beyond each side of a framed bar.
    int FrameInset() const { return InsideFrame() ? SuiMetrics::Frame::kInset : 0; }

    // Where things are drawn: right-side buttons (index into Buttons()), the control
    // box and the caption's space.
    struct Layout {
        std::vector<std::pair<int, QRect>> buttons;
        int controlBox = -1;
        QRect controlBoxRect;
        int captionX = 0;
        int captionY = 0;
        int captionRight = 0;
    };
    // The layout for the bar's present width, buttons and offsets.
    Layout ComputeLayout() const;
    // Index of the button (control box included) at pos in the layout last computed; -1 when none.
    int ButtonAt(const QPoint& pos) const;
    // The button under the pointer; -1 when none.
    int HoveredButton() const { return m_hovered; }
    // The caption as drawn into the given width, cut with "..." when it does not fit.
    QString CutCaption(const QString& caption, int width) const;

    // Opens the window menu at a global position.
    void PopupWindowMenu(const QPoint& globalPos);
    void ClickButton(int index);
    // Switches maximise buttons between the maximise and restore pictures.
    void ProcessMaxBtn();
    void SectionsChanged();
    void ButtonsChanged();

signals:
    void CustomBtnsClick(int index);
    void HelpBtnClick(int index);
    // A slot may set *allow to false to refuse.
    void MinClick(bool* allow);
    void MaxClick(bool* allow);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a paint needs of the bar's state, decoded once per paint.
    struct PaintState {
        int hovered = -1;   // the button under the pointer
        bool down = false;  // the bar's mouse button is held
        qreal devicePixelRatio = 1.0;
        QColor caption;
    };

    PaintState DecodePaintState() const;
    void DrawSectionsTo(QPainter& p, qreal devicePixelRatio) const;
    void DrawButtons(QPainter& p, const PaintState& state) const;
    void DrawControlBoxAndIcon(QPainter& p, const PaintState& state) const;
    void DrawCaption(QPainter& p, const PaintState& state) const;
    void ApplyAutoSize();
    // Lays the buttons and the caption out again and finds the button under the pointer.
    void Relayout();
    void TrackPointer(const QPoint& pos);
    void CloseHost();
    static void MinimiseHost(QWidget* host);

    bool m_custom = false;
    QPointer<TsuiFileTheme> m_fileTheme;
    TsuiUIStyle m_style = DeepBlue;
    bool m_autoSize = false;
    int m_buttonInterval = 0;
    QString m_caption;
    bool m_formActive = true;
    int m_leftBtnXOffset = 0;
    int m_rightBtnXOffset = 0;
    bool m_drawAppIcon = true;
    int m_roundCorner = 0;
    int m_roundCornerBottom = 0;
    std::optional<TColor> m_inactiveCaptionColor;  // none: follows the palette
    TColor m_fontColor = 0xFFFFFF;
    int m_buttonTop = 2;

    TsuiTitleBarSections m_sections{this};
    TsuiTitleBarButtons m_buttons{this};
    TsuiTitleBarPopupMenu* m_windowMenu = nullptr;

    Layout m_layout;
    QPoint m_mousePos{-1, -1};
    int m_hovered = -1;
    bool m_mouseDown = false;
    // Moving by hand where the window system cannot move the window for us.
    bool m_dragging = false;
    QPoint m_dragStart;
    QPoint m_hostStart;
    // A second press on the icon while the menu it opened is up closes the window.
    QElapsedTimer m_menuOpenedByIcon;
};
