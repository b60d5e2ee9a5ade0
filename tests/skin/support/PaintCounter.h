#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

// Counts the paint events a widget receives while it lives.
class PaintCounter : public QObject {
public:
    PaintCounter(QWidget* widget, int& paints)
        : m_paints(paints)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++m_paints;
        return false;
    }

private:
    int& m_paints;
};
