// The base of the page control: a panel with a skinned tab row and a framed page area.
#pragma once

#include "skin/SkinPictures.h"
#include "skin/Suimetrics.h"
#include "skin/Suimgr.h"
#include "skin/Suithemes.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>

namespace SuiTabs {
Q_NAMESPACE

// Where the tab row sits.
enum TsuiTabPosition : quint8 { suiTop, suiBottom };
Q_ENUM_NS(TsuiTabPosition)

}  // namespace SuiTabs

using SuiTabs::TsuiTabPosition;
using enum SuiTabs::TsuiTabPosition;

// A list of equally sized pictures that controls show by index (tab images).
class TImageList : public QObject {
    Q_OBJECT
public:
    explicit TImageList(QObject* parent = nullptr);

    // Appends a picture; the list takes the size of its first picture.
    void Add(const QPixmap& picture);
    int Count() const { return static_cast<int>(m_pictures.size()); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void Draw(QPainter& canvas, int x, int y, int index) const;

signals:
    // A picture was added: the tabs showing the list's pictures are measured again.
    void Changed();

private:
    QList<QPixmap> m_pictures;
    int m_width = 0;
    int m_height = 0;
};

class QFontMetrics;
class QPainter;
class TsuiTab;

// The tab row: lays out, paints and hit-tests the tabs and, when they do not fit,
// shows two scroll buttons. Sits across the top or the bottom of its tab control.
// The layout and the hovered scroll button follow the changes and pointer moves
// that affect them; painting only draws them.
class TsuiTabControlTopPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxTabs = 64;

    // owner is set by the tab control that takes the row in.
    TsuiTabControlTopPanel();

    TsuiUIStyle UIStyle() const { return m_uiStyle; }
    void setUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return m_fileTheme; }
    void setFileTheme(TsuiFileTheme* theme);

    const QStringList& Tabs() const { return m_tabs; }
    void setTabs(const QStringList& tabs);

    int TabIndex() const { return m_tabIndex; }
    void setTabIndex(int index);

    int LeftMargin() const { return m_leftMargin; }
    void setLeftMargin(int value);

    TsuiTabPosition TabPosition() const { return m_tabPosition; }
    void setTabPosition(TsuiTabPosition position);

    // The row's own colour: the fill under the tab pictures.
    TColor Color() const { return m_color; }
    void setColor(TColor color);

    // Shown flag of tab i; tabs past the table are always shown.
    bool TabVisibleAt(int i) const;
    void setTabVisibleAt(int i, bool shown);

    // Width of tab i as last laid out: -1 before any layout (and always for entry 63), 0 for a hidden tab.
    int TabWidth(int i) const;
    // Number of shown tabs scrolled out at the left.
    int FirstShownTab() const { return m_firstShown; }
    bool ScrollNeeded() const { return m_layout.scrollNeeded; }
    // The scroll button under the pointer: -1 left, 1 right, 0 none.
    int HoveredScrollButton() const { return m_hoveredButton; }
    int TabHeight() const { return m_tabHeight; }
    QSize ScrollButtonSize() const { return {m_buttonWidth, m_buttonHeight}; }
    QRect LeftScrollButtonRect() const;
    QRect RightScrollButtonRect() const;

    // Keeps the row across the full width of its tab control, at the top or the bottom.
    void PlaceInOwner();
    // Lays the tabs out again and repaints, for changes the row cannot see (a tab's image).
    void Relayout();

signals:
    void OnClick();
    void OnDblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class TsuiTab;

    struct PlacedTab {
        int index;
        QRect rect;
        bool active;
        bool cut;
        int image;  // index in the owner's image list, -1 for none
    };
    struct TabLayout {
        QList<PlacedTab> tabs;
        int lastWholeTab = -1;
        bool scrollNeeded = false;
    };
    // The tab and line pictures ready to draw at one device pixel ratio, turned when the row is
    // at the bottom.
    struct Pictures {
        QImage activeTab;
        QImage inactiveTab;
        QImage line;
        qreal devicePixelRatio = 0;  // 0: not prepared
    };
    // Everything one paint draws from, read from the row and its owner before drawing.
    struct PaintState {
        const Pictures* pictures;
        qreal devicePixelRatio;
        TsuiUIStyle style;
        int width;
        int lineTop;  // the base line's first row
        int lineHeight;
        TColor fill;  // under the tab pictures
        TColor border;
        TColor activeFont;
        TColor inactiveFont;
        const TImageList* images;
        bool focusFrame;  // around the active tab's caption
        bool scrollButtons;
        int hoveredButton;
        QRect leftButton;
        QRect rightButton;
    };

    // Layout: measures the tabs with `firstShown` shown tabs scrolled out and places the
    // rest; records the widths.
    TabLayout LayoutTabs(int firstShown);
    // Width of tab i; `image` gets the index of the image it shows, or -1.
    int MeasureTab(int i, const QFontMetrics& fm, int& image) const;
    int ScrollButtonAt(const std::optional<QPoint>& pos) const;
    bool ScrollButtonsShown() const { return m_layout.scrollNeeded || m_firstShown > 0; }
    // The tab a press at pos selects, or -1.
    int TabAt(const QPoint& pos) const;

    // Input: the hovered button follows the pointer; true when it changed.
    bool UpdateHover();
    void PointerMoved(const std::optional<QPoint>& pos);
    void ScrollBy(int button);

    // Painting: pure helpers drawing from a state decoded once.
    void LoadPictures();
    const Pictures& PreparedPictures(qreal devicePixelRatio) const;
    PaintState DecodePaintState() const;
    static void DrawBaseLine(QPainter& canvas, const PaintState& state);
    static void DrawTab(QPainter& canvas, const PaintState& state, const PlacedTab& tab, const QString& caption);
    static void DrawScrollButtons(QPainter& canvas, const PaintState& state);

    TsuiTab* m_owner = nullptr;
    TsuiUIStyle m_uiStyle = DeepBlue;
    QPointer<TsuiFileTheme> m_fileTheme;
    QStringList m_tabs{QStringLiteral("Tab1")};
    int m_tabIndex = 0;
    int m_leftMargin = SuiMetrics::TabRow::kLeftMargin;
    TsuiTabPosition m_tabPosition = suiTop;
    TColor m_color = 0xFFFFFF;
    std::array<int, kMaxTabs> m_tabWidths;
    std::array<bool, kMaxTabs> m_tabShown;
    int m_firstShown = 0;
    TabLayout m_layout;
    int m_hoveredButton = 0;
    int m_buttonWidth = 0;
    int m_buttonHeight = 0;
    // The style's pictures are named when the style is set and decoded when the row is first drawn.
    LazySkinPicture m_activeTabPicture;
    LazySkinPicture m_inactiveTabPicture;
    LazySkinPicture m_linePicture;
    mutable Pictures m_pictures;
    TColor m_activeFontColor = 0;
    TColor m_inactiveFontColor = 0;
    int m_tabHeight = 0;
    bool m_clicked = false;         // the selection in progress comes from the mouse
    bool m_scrollIntoView = false;  // the next layout on screen scrolls until the active tab is whole
    bool m_pressed = false;
    std::optional<QPoint> m_mousePos;
};

// A panel that owns a tab row and paints the framed page area next to it. Tab changes
// reach descendants through TabActive; GetImageIndex says which image a tab shows.
class TsuiTab : public QWidget {
    Q_OBJECT
    Q_PROPERTY(Sui::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE setFileTheme)
    Q_PROPERTY(int LeftMargin READ LeftMargin WRITE setLeftMargin)
    Q_PROPERTY(quint32 BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(quint32 Color READ Color WRITE setColor)
    Q_PROPERTY(SuiTabs::TsuiTabPosition TabPosition READ TabPosition WRITE setTabPosition)
    Q_PROPERTY(bool PageDrawFocused READ PageDrawFocused WRITE setPageDrawFocused)
    Q_PROPERTY(TImageList* Images READ Images WRITE setImages)

public:
    ~TsuiTab() override;

    TsuiTabControlTopPanel* TopPanel() const { return m_topPanel; }

    TsuiUIStyle UIStyle() const { return m_uiStyle; }
    void setUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return m_fileTheme; }
    void setFileTheme(TsuiFileTheme* theme);

    int LeftMargin() const;
    void setLeftMargin(int value);

    TColor BorderColor() const { return m_borderColor; }
    void setBorderColor(TColor color);

    // The page area's colour.
    TColor Color() const { return m_color; }
    void setColor(TColor color);

    TsuiTabPosition TabPosition() const { return m_tabPosition; }
    void setTabPosition(TsuiTabPosition position);

    bool PageDrawFocused() const { return m_pageDrawFocused; }
    void setPageDrawFocused(bool on);

    TImageList* Images() const { return m_images; }
    void setImages(TImageList* images);

    int TabIndex() const;
    virtual void setTabIndex(int index);
    const QStringList& Tabs() const;
    void setTabs(const QStringList& tabs);

    // Image list index shown on tab i; -1 for none.
    virtual int GetImageIndex(int tabIndex) const = 0;
    // Called by the tab row after its index has changed.
    virtual void TabActive(int index);

    // The page area without its frame: where the pages sit.
    QRect PageRect() const;

signals:
    void OnTabActive(int tabIndex);
    void OnChange();
    // Consulted before a selection by the mouse; clearing *allowChange cancels it.
    void OnChanging(bool* allowChange);
    // Clicks and double clicks on the tab row.
    void OnClick();
    void OnDblClick();

protected:
    // Takes the row in (the page control passes its own kind of row).
    TsuiTab(QWidget* parent, TsuiTabControlTopPanel* topPanel);

    virtual void BorderColorChanged() { }
    virtual void ColorChanged() { }
    virtual void UpdateUIStyle(TsuiUIStyle style, TsuiFileTheme* theme);
    // Places the children that fill the page area; a plain tab control has none.
    virtual void AlignControls(const QRect& pageRect);
    void Realign();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TsuiTabControlTopPanel* m_topPanel;
    TsuiUIStyle m_uiStyle = DeepBlue;
    QPointer<TsuiFileTheme> m_fileTheme;
    TColor m_borderColor = 0;
    TColor m_color = 0xFFFFFF;
    TsuiTabPosition m_tabPosition = suiTop;
    QPointer<TImageList> m_images;
    bool m_pageDrawFocused = true;
    QMetaObject::Connection m_imagesGone;
    QMetaObject::Connection m_imagesChanged;
};
