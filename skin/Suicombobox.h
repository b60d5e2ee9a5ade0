// The skinned combo box: the native combo box with a flat frame, a style-dependent
// drop-down button face and a painted arrow.
//
// The change event is QComboBox::activated, raised by a user's pick only (mouse,
// keyboard or wheel); selecting from code with setCurrentIndex() never raises it.
#pragma once

#include "skin/SkinPictures.h"
#include "skin/Suimgr.h"
#include "skin/Suithemes.h"

#include <QComboBox>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>

struct SuiComboBoxInfo;

// The drop-down button of a box, left to right: 17 pixels square in a 21-pixel box, against the
// two frame lines on the right (columns 62 to 79 of an 81-pixel box, rows 2 to 19), so that the
// 16-pixel button faces are stretched by one column alone.
QRect ComboButtonRect(const QSize& box);

// Top-left corner of the drop-down arrow for a button rectangle: centred across the
// button, and halfway down the button's height measured from the control's top.
QPoint ComboArrowOrigin(const QRect& button);

class TsuiCustomComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE setFileTheme)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(TColor ButtonColor READ ButtonColor WRITE setButtonColor)
    Q_PROPERTY(TColor ArrowColor READ ArrowColor WRITE setArrowColor)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)

public:
    enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
    Q_ENUM(TComboBoxStyle)

    // A box is csDropDown unless created with another style; creating it in its final style spares
    // building the text field of a typed box only to drop it again.
    explicit TsuiCustomComboBox(QWidget* parent = nullptr, TComboBoxStyle style = csDropDown);

    TsuiUIStyle UIStyle() const { return m_uiStyle; }
    // Also resets BorderColor and ButtonColor to the style's values and ArrowColor to black.
    void setUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return m_fileTheme; }
    void setFileTheme(TsuiFileTheme* theme);

    TColor BorderColor() const { return m_borderColor; }
    void setBorderColor(TColor c);
    TColor ButtonColor() const { return m_buttonColor; }
    void setButtonColor(TColor c);
    TColor ArrowColor() const { return m_arrowColor; }
    void setArrowColor(TColor c);
    // The field colour (the palette's base colour).
    TColor Color() const;
    void setColor(TColor c);

    // csDropDown and csSimple can be typed into; the other styles only pick an item.
    TComboBoxStyle Style() const { return m_style; }
    void setStyle(TComboBoxStyle style);
    using QWidget::setStyle;

    void showPopup() override;
    void hidePopup() override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void drawField(QPainter& p, const SuiComboBoxInfo& info);
    void drawButton(QPainter& p, const SuiComboBoxInfo& info);
    void drawArrow(QPainter& p, int x, int y);

    TsuiUIStyle m_uiStyle = DeepBlue;
    QPointer<TsuiFileTheme> m_fileTheme;
    TColor m_borderColor = 0;
    TColor m_buttonColor = 0;
    TColor m_arrowColor = 0;
    LazySkinPicture m_buttonFace;  // decoded when first drawn; none for a plain button
    bool m_faceHasArrow = false;   // the face's picture carries its own arrow
    TComboBoxStyle m_style = csDropDown;
    QPointer<QWidget> m_listFrame;
};

class TsuiComboBox : public TsuiCustomComboBox {
    Q_OBJECT
    Q_PROPERTY(TsuiCustomComboBox::TComboBoxStyle Style READ Style WRITE setStyle)

public:
    using TsuiCustomComboBox::TsuiCustomComboBox;
};
