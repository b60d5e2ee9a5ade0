// The skinned single-line edit: the native edit with a flat two-line frame.
#pragma once

#include "skin/Suimgr.h"
#include "skin/Suithemes.h"

#include <QLineEdit>
#include <QPointer>

class TsuiEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE setFileTheme)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)
    // Redeclared so that setProperty() reaches the versions below, which never cut
    // text written from code.
    Q_PROPERTY(QString text READ text WRITE setText USER true)
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)

public:
    explicit TsuiEdit(QWidget* parent = nullptr);

    TsuiUIStyle UIStyle() const { return m_uiStyle; }
    void setUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return m_fileTheme; }
    void setFileTheme(TsuiFileTheme* theme);

    TColor BorderColor() const { return m_borderColor; }
    void setBorderColor(TColor c);
    // The field colour (the palette's base colour), kept when read-only or disabled.
    TColor Color() const;
    void setColor(TColor c);

    // The limit applies to typing and pasting only: text set here is kept whole,
    // and a text longer than the limit can be shortened but not lengthened.
    void setText(const QString& text);
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length);

protected:
    // Called after every style change; subclasses add their own look here.
    virtual void UIStyleChanged() { }

    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void applyTypingLimit(int textLength);

    TsuiUIStyle m_uiStyle = DeepBlue;
    QPointer<TsuiFileTheme> m_fileTheme;
    TColor m_borderColor = 0;
    int m_maxLength = 32767;
    bool m_settingText = false;
};
