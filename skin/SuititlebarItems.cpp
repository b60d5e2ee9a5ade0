// The title bar's sections and buttons, and the error box that refuses a wrong one.
#include "skin/Suititlebar.h"

#include "modal/MessageBox.h"

namespace {

// Last piece (1-based) of a button's normal, mouse-over, pressed triple in the title-button strip.
int LastPieceOf(TsuiTitleBarBtnType type)
{
    switch (type) {
    case suiControlBox: return 3;
    case suiHelp: return 6;
    case suiMax: return 9;
    case suiMin: return 15;
    case suiClose: return 18;
    case suiCustom: break;
    }
    return 0;
}

constexpr int kRestoreLastPiece = 12;
constexpr int kTitleButtonPieces = 18;

}  // namespace

void ShowSuiErrorBox(QWidget* parent, const QString& text)
{
    platform::ShowMessageBox(parent, text, QStringLiteral("Error"), QMessageBox::Critical);
}

// ---- sections ------------------------------------------------------------------------------

void TsuiTitleBarSection::setAutoSize(bool on)
{
    m_autoSize = on;
    m_owner->Changed();
}

int TsuiTitleBarSection::Width() const
{
    return m_autoSize && !m_picture.isNull() ? m_picture.Size().width() : m_width;
}

void TsuiTitleBarSection::setWidth(int width)
{
    m_width = width;
    m_owner->Changed();
}

void TsuiTitleBarSection::setAlign(TsuiTitleBarAlign align)
{
    if (align == suiClient) {
        for (int i = 0; i < m_owner->Count(); ++i) {
            const TsuiTitleBarSection* other = m_owner->Items(i);
            if (other != this && other->Align() == suiClient) {
                ShowSuiErrorBox(m_owner->Bar(),
                                QStringLiteral("Sorry, only one section's Align property can be \"suiClient\""));
                return;
            }
        }
        m_stretch = true;
    }
    m_align = align;
    m_owner->Changed();
}

void TsuiTitleBarSection::setPicture(const LazySkinPicture& picture)
{
    m_picture = picture;
    m_owner->Changed();
}
void TsuiTitleBarSection::setStretch(bool on)
{
    m_stretch = on;
    m_owner->Changed();
}
void TsuiTitleBarSection::setCapSec(bool on)
{
    m_capSec = on;
    m_owner->Changed();
}

TsuiTitleBarSection* TsuiTitleBarSections::Add()
{
    m_items.push_back(std::make_unique<TsuiTitleBarSection>(this));
    Changed();
    return m_items.back().get();
}

void TsuiTitleBarSections::Clear()
{
    m_items.clear();
    Changed();
}

void TsuiTitleBarSections::Changed() { m_bar->SectionsChanged(); }

// ---- buttons -------------------------------------------------------------------------------

void TsuiTitleBarButton::setButtonType(TsuiTitleBarBtnType type)
{
    // There is never more than one control box, so the first one found is the only one.
    const int box = type == suiControlBox ? m_owner->IndexOf(suiControlBox, 0, false) : -1;
    if (box >= 0 && m_owner->Items(box) != this) {
        ShowSuiErrorBox(m_owner->Bar(),
                        QStringLiteral("Sorry, only one button's ButtonType property can be \"suiControlBox\""));
        return;
    }
    m_type = type;
    setUIStyle(m_style);
}

void TsuiTitleBarButton::setVisible(bool on)
{
    m_visible = on;
    m_owner->Changed();
}
void TsuiTitleBarButton::setTransparent(bool on)
{
    m_transparent = on;
    m_owner->Changed();
}
void TsuiTitleBarButton::setTop(int top)
{
    m_top = top;
    m_owner->Changed();
}
void TsuiTitleBarButton::setControlBoxMenu(QMenu* menu)
{
    m_controlBoxMenu = menu;
    m_owner->Changed();
}

void TsuiTitleBarButton::setPictures(const QImage& normal, const QImage& mouseOn, const QImage& mouseDown)
{
    m_picNormal = normal;
    m_picMouseOn = mouseOn;
    m_picMouseDown = mouseDown;
    m_owner->Changed();
}

bool TsuiTitleBarButton::HasPictures() const
{
    return !m_picNormal.isNull() && !m_picMouseOn.isNull() && !m_picMouseDown.isNull();
}

void TsuiTitleBarButton::setUIStyle(TsuiUIStyle style)
{
    m_style = style;
    const TsuiUIStyle effective = EffectiveStyle(m_owner->Bar()->FileTheme(), style);
    m_transparent = GetInsideThemeBool(effective, SUI_THEME_TITLE_BUTTON_TRANSPARENT);
    if (m_type != suiCustom) LoadPictures(LastPieceOf(m_type));
    m_owner->Changed();
}

void TsuiTitleBarButton::ShowRestorePictures(bool restore)
{
    if (m_type != suiMax) return;
    LoadPictures(restore ? kRestoreLastPiece : LastPieceOf(suiMax));
    m_owner->Changed();
}

void TsuiTitleBarButton::LoadPictures(int lastPiece)
{
    const QString strip
        = GetInsideThemePictureName(EffectiveStyle(m_owner->Bar()->FileTheme(), m_style), SUI_THEME_TITLE_BUTTON_STRIP);
    m_picNormal = LazySkinPicture(strip, kTitleButtonPieces, lastPiece - 2);
    m_picMouseOn = LazySkinPicture(strip, kTitleButtonPieces, lastPiece - 1);
    m_picMouseDown = LazySkinPicture(strip, kTitleButtonPieces, lastPiece);
}

TsuiTitleBarButton* TsuiTitleBarButtons::Add()
{
    m_items.push_back(std::make_unique<TsuiTitleBarButton>(this));
    Changed();
    return m_items.back().get();
}

TsuiTitleBarButton* TsuiTitleBarButtons::Add(TsuiTitleBarBtnType type)
{
    TsuiTitleBarButton* button = Add();
    button->setUIStyle(m_bar->UIStyle());
    button->setButtonType(type);
    return button;
}

void TsuiTitleBarButtons::Clear()
{
    m_items.clear();
    Changed();
}

int TsuiTitleBarButtons::IndexOf(TsuiTitleBarBtnType type, int from, bool visibleOnly) const
{
    for (int i = qMax(0, from); i < Count(); ++i) {
        const TsuiTitleBarButton* b = Items(i);
        if (b->ButtonType() == type && (b->Visible() || !visibleOnly)) return i;
    }
    return -1;
}

void TsuiTitleBarButtons::Changed() { m_bar->ButtonsChanged(); }
