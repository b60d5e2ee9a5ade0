// The gallery shows every skinned control in each style and state. Each section
// builds its controls for one style; main.cpp stacks the sections and takes the pictures.
#pragma once

#include "skin/Suithemes.h"

#include <QString>
#include <QWidget>

#include <functional>

namespace gallery {

// The states a control is shown in, one column each.
enum class State { Normal, Hovered, Pressed, Focused, Disabled };
inline constexpr State kAllStates[] = {State::Normal, State::Hovered, State::Pressed, State::Focused, State::Disabled};
QString StateName(State state);

// Builds one control inside cell for the given state and returns the widget the state
// is put on (an arrow of a composite control, say); nullptr leaves the cell empty where
// the state does not apply.
using CellFactory = std::function<QWidget*(State state, QWidget* cell)>;

// For main.cpp: the controls a grid shows hovered, pressed or focused. The cell is the area
// pasted from the picture taken for that state.
struct StateTarget {
    QWidget* target;
    QWidget* cell;
};
struct StateTargets {
    QList<StateTarget> hovered;
    QList<StateTarget> pressed;
    QList<StateTarget> focused;
};

// Rows of controls, one column per state. The states are put on the controls the way
// a user would: the pointer is moved over a hovered control, a pressed one gets a left
// press that is never released, a focused one gets the keyboard focus, a disabled one
// is disabled. Hover and focus exist once per window, so main.cpp takes one picture per
// hovered or focused control and pastes that control's rectangle into the page.
class StateGrid : public QWidget {
public:
    explicit StateGrid(QWidget* parent);
    void AddRow(const QString& label, const CellFactory& make);
    const StateTargets& Targets() const { return m_targets; }

private:
    int m_rows = 1;
    StateTargets m_targets;
};

}  // namespace gallery

// One line per section; each lives in Section<Name>.cpp.
QWidget* BuildButtonSection(TsuiUIStyle style, QWidget* parent);
QWidget* BuildSpinSection(TsuiUIStyle style, QWidget* parent);
QWidget* BuildEditSection(TsuiUIStyle style, QWidget* parent);
QWidget* BuildComboBoxSection(TsuiUIStyle style, QWidget* parent);
QWidget* BuildPanelsSection(TsuiUIStyle style, QWidget* parent);
bool WriteFramePicture(TsuiUIStyle style, const QString& file);  // a framed window with its window menu open
QWidget* BuildTabsSection(TsuiUIStyle style, QWidget* parent);
