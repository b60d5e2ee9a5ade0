// Counts the serial object's notices of one registered type, for the benchmarks.
#pragma once

#include <QEvent>
#include <QObject>

class NoticeCounter : public QObject {
public:
    explicit NoticeCounter(unsigned t)
        : type(t)
    { }
    bool event(QEvent* e) override
    {
        if (static_cast<unsigned>(e->type()) != type) return QObject::event(e);
        ++received;
        return true;
    }
    unsigned type;
    long received = 0;
};
