// A pop-up menu that measures and draws its own items in the colours of a style.
#pragma once

#include "skin/Suimenu.h"
#include "skin/Suimgr.h"

#include <QMenu>
#include <QPointer>

class TsuiPopupMenu : public QMenu {
    Q_OBJECT
    Q_PROPERTY(Sui::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE setFileTheme)
    // The two heights keep their writers' design names.
    Q_PROPERTY(int MenuItemHeight READ MenuItemHeight WRITE SetHeight)
    Q_PROPERTY(int SeparatorHeight READ SeparatorHeight WRITE SetSeparatorHeight)
    Q_PROPERTY(int BarWidth READ BarWidth WRITE setBarWidth)
    Q_PROPERTY(TColor BarColor READ BarColor WRITE setBarColor)
    Q_PROPERTY(TColor BarToColor READ BarToColor WRITE setBarToColor)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)
    Q_PROPERTY(TColor SeparatorColor READ SeparatorColor WRITE setSeparatorColor)
    Q_PROPERTY(TColor SelectedBorderColor READ SelectedBorderColor WRITE setSelectedBorderColor)
    Q_PROPERTY(TColor SelectedColor READ SelectedColor WRITE setSelectedColor)
    Q_PROPERTY(TColor SelectedFontColor READ SelectedFontColor WRITE setSelectedFontColor)
    Q_PROPERTY(TColor FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(bool FlatMenu READ FlatMenu WRITE setFlatMenu)
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)
    Q_PROPERTY(int FontSize READ FontSize WRITE setFontSize)
    Q_PROPERTY(bool UseSystemFont READ UseSystemFont WRITE setUseSystemFont)
    Q_PROPERTY(bool OwnerDraw READ OwnerDraw)

public:
    explicit TsuiPopupMenu(QWidget* owner = nullptr);

    TsuiUIStyle UIStyle() const { return m_style; }
    void setUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return m_fileTheme; }
    void setFileTheme(TsuiFileTheme* theme);

    int MenuItemHeight() const { return m_look.itemHeight; }
    void SetHeight(int height);
    int SeparatorHeight() const { return m_look.separatorHeight; }
    void SetSeparatorHeight(int height);
    int BarWidth() const { return m_look.barWidth; }
    void setBarWidth(int width);

    TColor BarColor() const { return m_look.barColor; }
    void setBarColor(TColor c);
    TColor BarToColor() const { return m_look.barToColor; }
    void setBarToColor(TColor c);
    TColor Color() const { return m_look.color; }
    void setColor(TColor c);
    TColor SeparatorColor() const { return m_look.separatorColor; }
    void setSeparatorColor(TColor c);
    TColor SelectedBorderColor() const { return m_look.selectedBorderColor; }
    void setSelectedBorderColor(TColor c);
    TColor SelectedColor() const { return m_look.selectedColor; }
    void setSelectedColor(TColor c);
    TColor SelectedFontColor() const { return m_look.selectedFontColor; }
    void setSelectedFontColor(TColor c);
    TColor FontColor() const { return m_look.fontColor; }
    void setFontColor(TColor c);
    TColor BorderColor() const { return m_borderColor; }
    void setBorderColor(TColor c);

    bool FlatMenu() const { return m_flat; }
    void setFlatMenu(bool flat);
    QString FontName() const { return m_fontName; }
    void setFontName(const QString& name);
    int FontSize() const { return m_fontSize; }
    void setFontSize(int points);
    bool UseSystemFont() const { return m_useSystemFont; }
    void setUseSystemFont(bool use);
    // Items are always drawn by the menu itself.
    bool OwnerDraw() const { return true; }

    // The look items are measured and drawn with (font and reading direction resolved).
    SuiMenuLook Look() const;
    SuiMenuItem ItemFor(QAction* action) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The style's pictures fix the heights of its items and separators.
    bool HeightsFixed() const;
    void Changed();

    TsuiUIStyle m_style = DeepBlue;
    QPointer<TsuiFileTheme> m_fileTheme;
    SuiMenuLook m_look;
    TColor m_borderColor = 0x000000;
    bool m_flat = false;
    QString m_fontName = QStringLiteral("MS Sans Serif");
    int m_fontSize = 8;
    bool m_useSystemFont = true;
};
