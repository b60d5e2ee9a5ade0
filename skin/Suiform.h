// The skinned window frame: turns its host window frameless, paints the band around it
// and carries the drawn title bar. The host keeps its size, position, modality and
// closing behaviour.
//
// The frame is the host's client panel: the host's controls go on the frame, laid out
// from its top-left corner, the title bar taking the top rows. Around it the host shows
// a band of SuiMetrics::Frame::kBand pixels at the left, right and top and BottomBand() at the bottom.
#pragma once

#include "skin/Suititlebar.h"

#include <QPointer>
#include <QWidget>

#include <initializer_list>

class TsuiForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(Sui::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE setFileTheme)
    Q_PROPERTY(bool UIStyleAutoUpdateSub READ UIStyleAutoUpdateSub WRITE setUIStyleAutoUpdateSub)
    Q_PROPERTY(bool TitleBarCustom READ TitleBarCustom WRITE setTitleBarCustom)
    Q_PROPERTY(bool TitleBarVisible READ TitleBarVisible WRITE setTitleBarVisible)
    Q_PROPERTY(bool TitleBarDrawAppIcon READ TitleBarDrawAppIcon WRITE setTitleBarDrawAppIcon)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)
    Q_PROPERTY(TColor InactiveCaptionColor READ InactiveCaptionColor WRITE setInactiveCaptionColor)
    Q_PROPERTY(int RoundCorner READ RoundCorner WRITE setRoundCorner)
    Q_PROPERTY(int RoundCornerBottom READ RoundCornerBottom WRITE setRoundCornerBottom)

public:
    // A host that already holds a frame gets an inert panel.
    explicit TsuiForm(QWidget* host);
    ~TsuiForm() override;

    TsuiUIStyle UIStyle() const { return m_style; }
    void setUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return m_fileTheme; }
    void setFileTheme(TsuiFileTheme* theme);
    bool UIStyleAutoUpdateSub() const { return m_autoUpdateSub; }
    void setUIStyleAutoUpdateSub(bool on) { m_autoUpdateSub = on; }
    bool TitleBarCustom() const;
    void setTitleBarCustom(bool on);
    bool TitleBarVisible() const { return m_titleBarVisible; }
    void setTitleBarVisible(bool visible);
    bool TitleBarDrawAppIcon() const;
    void setTitleBarDrawAppIcon(bool on);
    QString Caption() const;
    void setCaption(const QString& caption);
    TColor BorderColor() const { return m_borderColor; }
    void setBorderColor(TColor c);
    int BorderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    TColor Color() const { return m_color; }
    void setColor(TColor c);
    TColor InactiveCaptionColor() const;
    void setInactiveCaptionColor(TColor c);
    int RoundCorner() const { return m_roundCorner; }
    void setRoundCorner(int radius);
    int RoundCornerBottom() const { return m_roundCornerBottom; }
    void setRoundCornerBottom(int radius);
    void setTitleBarFont(const QFont& font);

    TsuiTitleBar* TitleBar() const { return m_titleBar; }
    // The frame's published TitleBarButtons and TitleBarSections: the title bar's collections.
    TsuiTitleBarButtons& TitleBarButtons() { return m_titleBar->Buttons(); }
    // Replaces the title bar's buttons, in this order (the windows use suiControlBox, suiClose).
    void setTitleBarButtons(std::initializer_list<TsuiTitleBarBtnType> types);
    TsuiTitleBarSections& TitleBarSections() { return m_titleBar->Sections(); }
    QWidget* Host() const { return m_host; }
    bool IsInert() const { return m_inert; }

    // Height of the band at the bottom: BorderWidth + 1, or 3 with a 3-pixel border.
    int BottomBand() const;
    // The title bar's height plus the band above it; 0 with the title bar hidden.
    int TitleBarHeight() const;
    // Sizes the host so that the frame's client area is `client`.
    void SetClientSize(const QSize& client);

    // Paints the band and the border on the host (W x H of the host).
    void PaintFormBorder(QPainter& p) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class AltSpaceWatcher;

    void LayoutInHost();
    // The band above the title bar, from the ends of the title pictures.
    void PaintTitleBand(QPainter& p) const;
    void RegionWindow();
    void RepaintBorder();
    bool HandleAltSpace(QObject* receiver);
    void PlaceMaximised();
    // The frame of the application's main form; none when that form has no frame.
    static TsuiForm* MainFrame();

    QWidget* m_host;
    bool m_inert = false;
    TsuiTitleBar* m_titleBar = nullptr;
    AltSpaceWatcher* m_watcher = nullptr;
    TsuiUIStyle m_style = DeepBlue;
    QPointer<TsuiFileTheme> m_fileTheme;
    bool m_autoUpdateSub = false;
    bool m_titleBarVisible = true;
    TColor m_borderColor = 0x000000;
    int m_borderWidth = 1;
    TColor m_color = 0xE8E8E8;
    int m_roundCorner = 0;
    int m_roundCornerBottom = 0;
};
