// A container with a one-pixel frame whose top edge carries the caption; normally
// transparent, so that the parent's picture shows through.
#pragma once

#include "skin/Suiimagepanel.h"
#include "skin/Suimgr.h"
#include "skin/Suithemes.h"

#include <QPointer>

class TsuiCustomGroupBox : public TsuiCustomPanel {
    Q_OBJECT
    Q_PROPERTY(TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE setFileTheme)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE setBorderColor)
    // The group box's own caption, written into the frame; the panel never writes it.
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    explicit TsuiCustomGroupBox(QWidget* parent = nullptr);

    TsuiUIStyle UIStyle() const { return m_uiStyle; }
    // Hands the style to the direct skinned children too, then takes the style's
    // border and caption colours.
    void setUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return m_fileTheme; }
    void setFileTheme(TsuiFileTheme* theme);

    TColor BorderColor() const { return m_borderColor; }
    void setBorderColor(TColor c);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);

protected:
    virtual void UpdateUIStyle(TsuiUIStyle style, TsuiFileTheme* theme);

    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void alignControls();

    TsuiUIStyle m_uiStyle = DeepBlue;
    QPointer<TsuiFileTheme> m_fileTheme;
    TColor m_borderColor = 0;
    QString m_caption;
};

class TsuiGroupBox : public TsuiCustomGroupBox {
    Q_OBJECT

public:
    using TsuiCustomGroupBox::TsuiCustomGroupBox;
};
