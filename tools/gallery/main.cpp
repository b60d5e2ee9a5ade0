// gallery: every skinned control in each built-in style and state.
//   gallery            shows the styles in a window, one tab each
//   gallery --png DIR  writes DIR/<style>.png for each style, off screen
//   --scale N          draws at N device pixels per pixel (N = 2 shows the skin's 2x pictures)
#include "tools/gallery/Sections.h"

#include "ui/Fonts.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QMetaEnum>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace {

struct SectionEntry {
    const char* title;
    QWidget* (*build)(TsuiUIStyle, QWidget*);
};

const SectionEntry kSections[] = {
    {"Button", BuildButtonSection},
    {"Spin button", BuildSpinSection},
    {"Edit", BuildEditSection},
    {"Combo box", BuildComboBoxSection},
    {"Group box and image panel", BuildPanelsSection},
    {"Page control", BuildTabsSection},
};

const TsuiUIStyle kStyles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

QString StyleName(TsuiUIStyle style)
{
    return QString::fromLatin1(QMetaEnum::fromType<Sui::TsuiUIStyle>().valueToKey(style));
}

QWidget* BuildPage(TsuiUIStyle style, QWidget* parent)
{
    auto* page = new QWidget(parent);
    QPalette pal = page->palette();
    pal.setColor(QPalette::Window, ToQColor(GetInsideThemeColor(style, SUI_THEME_FORM_COLOR)));
    page->setPalette(pal);
    page->setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(page);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* title = new QLabel(StyleName(style), page);
    QFont big = title->font();
    big.setPixelSize(16);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    for (const SectionEntry& s : kSections) {
        auto* heading = new QLabel(QString::fromLatin1(s.title), page);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        layout->addSpacing(8);
        layout->addWidget(heading);
        layout->addWidget(s.build(style, page));
    }
    return page;
}

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void MoveCursorAway()
{
    QCursor::setPos(-10000, -10000);
    Settle();
}

void ClearFocus()
{
    if (QWidget* f = QApplication::focusWidget()) f->clearFocus();
    Settle();
}

// What the page's grids ask for, in the order they were built.
gallery::StateTargets TargetsOf(const QWidget* page)
{
    gallery::StateTargets all;
    for (const QWidget* w : page->findChildren<QWidget*>()) {
        if (const auto* grid = dynamic_cast<const gallery::StateGrid*>(w)) {
            all.hovered += grid->Targets().hovered;
            all.pressed += grid->Targets().pressed;
            all.focused += grid->Targets().focused;
        }
    }
    return all;
}

// A left press that is never released, on every control shown pressed.
void PressAll(const gallery::StateTargets& targets)
{
    for (const gallery::StateTarget& t : targets.pressed) {
        const QPointF at = QRectF(t.target->rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, t.target->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(t.target, &press);
    }
}

// Pastes the cell's rectangle of a fresh picture of the page into shot. Both pictures have the
// page's device pixel ratio; the source rectangle is in the fresh picture's own pixels.
void PasteCell(QImage& shot, QWidget* page, QWidget* cell)
{
    const QImage now = page->grab().toImage();
    const QRectF r(cell->mapTo(page, QPoint(0, 0)), cell->size());
    const qreal dpr = now.devicePixelRatio();
    QPainter p(&shot);
    p.drawImage(r, now, QRectF(r.topLeft() * dpr, r.size() * dpr));
}

QImage Picture(TsuiUIStyle style)
{
    QWidget* page = BuildPage(style, nullptr);
    const gallery::StateTargets targets = TargetsOf(page);
    page->move(0, 0);
    page->show();
    page->activateWindow();
    QApplication::setActiveWindow(page);
    Settle();
    MoveCursorAway();

    PressAll(targets);
    Settle();
    ClearFocus();
    QImage shot = page->grab().toImage();

    for (const gallery::StateTarget& t : targets.hovered) {
        QCursor::setPos(t.target->mapToGlobal(t.target->rect().center()));
        Settle();
        PasteCell(shot, page, t.cell);
        MoveCursorAway();
    }
    for (const gallery::StateTarget& t : targets.focused) {
        t.target->setFocus(Qt::TabFocusReason);
        Settle();
        PasteCell(shot, page, t.cell);
        ClearFocus();
    }
    delete page;
    return shot;
}

}  // namespace

namespace gallery {

QString StateName(State state)
{
    switch (state) {
    case State::Normal: return QStringLiteral("normal");
    case State::Hovered: return QStringLiteral("hovered");
    case State::Pressed: return QStringLiteral("pressed");
    case State::Focused: return QStringLiteral("focused");
    case State::Disabled: return QStringLiteral("disabled");
    }
    return {};
}

StateGrid::StateGrid(QWidget* parent)
    : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(10);
}

void StateGrid::AddRow(const QString& label, const CellFactory& make)
{
    auto* grid = static_cast<QGridLayout*>(layout());
    grid->addWidget(new QLabel(label, this), m_rows, 0, Qt::AlignLeft | Qt::AlignVCenter);
    int column = 1;
    for (State s : kAllStates) {
        auto* cell = new QWidget(this);
        QWidget* target = make(s, cell);
        if (!target) {
            delete cell;
            ++column;
            continue;
        }
        QRect bounds;
        for (QObject* o : cell->children())
            if (o->isWidgetType()) bounds |= static_cast<QWidget*>(o)->geometry();
        cell->setFixedSize(bounds.x() + bounds.width(), bounds.y() + bounds.height());
        switch (s) {
        case State::Normal: break;
        case State::Hovered: m_targets.hovered.append(StateTarget{target, cell}); break;
        case State::Pressed: m_targets.pressed.append(StateTarget{target, cell}); break;
        case State::Focused: m_targets.focused.append(StateTarget{target, cell}); break;
        case State::Disabled: cell->setEnabled(false); break;
        }
        // A state column is named once some row shows a control in it.
        if (!grid->itemAtPosition(0, column)) grid->addWidget(new QLabel(StateName(s), this), 0, column, Qt::AlignLeft);
        grid->addWidget(cell, m_rows, column++, Qt::AlignLeft | Qt::AlignVCenter);
    }
    ++m_rows;
}

}  // namespace gallery

namespace {

// DIR/<style>.png and DIR/<style>-frame.png for each style; the exit status.
int WritePictures(const QString& dir)
{
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "gallery: cannot create %s\n", qPrintable(dir));
        return 1;
    }
    for (TsuiUIStyle style : kStyles) {
        const QString stem = QDir(dir).filePath(StyleName(style).toLower());
        const QString file = stem + QStringLiteral(".png");
        if (!Picture(style).save(file)) {
            std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
        if (!WriteFramePicture(style, stem + QStringLiteral("-frame.png"))) return 1;
    }
    return 0;
}

int ShowStyles(QApplication& app)
{
    QTabWidget tabs;
    tabs.setWindowTitle(QStringLiteral("Gallery"));
    for (TsuiUIStyle style : kStyles) {
        auto* scroll = new QScrollArea;
        scroll->setWidget(BuildPage(style, nullptr));
        tabs.addTab(scroll, StyleName(style));
    }
    tabs.resize(900, 700);
    tabs.show();
    for (int i = 0; i < tabs.count(); ++i)
        PressAll(TargetsOf(static_cast<QScrollArea*>(tabs.widget(i))->widget()));
    return app.exec();
}

}  // namespace

int main(int argc, char** argv)
{
    QString pngDir;
    int scale = 1;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--png") && i + 1 < argc) {
            pngDir = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == QLatin1String("--scale") && i + 1 < argc) {
            bool ok = false;
            scale = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
            if (!ok || scale < 1 || scale > 4) {
                std::fprintf(stderr, "gallery: --scale takes 1 to 4\n");
                return 2;
            }
        } else {
            std::fprintf(stderr, "usage: gallery [--png DIR] [--scale N]\n");
            return 2;
        }
    }
    // Qt then lays out in the same logical pixels and paints, and grabs, N times as many.
    if (scale != 1) qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
    if (!pngDir.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    RegisterFontSubstitutions();
    QApplication::setFont(DialogFont());
    return pngDir.isEmpty() ? ShowStyles(app) : WritePictures(pngDir);
}
