// The skinned page control: pages under a tab row, one of them shown at a time.
#pragma once

#include "skin/Suitabcontrol.h"

#include <QList>
#include <QString>

class TsuiTabSheet;

// The page control's tab row.
class TsuiPageControlTopPanel : public TsuiTabControlTopPanel {
    Q_OBJECT
public:
    TsuiPageControlTopPanel() = default;
};

// Shows one of its pages (TsuiTabSheet children) in the page area. A sheet joins when
// the page control becomes its parent and leaves when it is reparented or destroyed.
class TsuiPageControl : public TsuiTab {
    Q_OBJECT
    Q_PROPERTY(TsuiTabSheet* ActivePage READ ActivePage WRITE setActivePage)
    Q_PROPERTY(int ActivePageIndex READ ActivePageIndex WRITE setActivePageIndex)
    Q_PROPERTY(int PageCount READ PageCount)

public:
    explicit TsuiPageControl(QWidget* parent = nullptr);
    ~TsuiPageControl() override;

    TsuiTabSheet* ActivePage() const { return m_activePage; }
    void setActivePage(TsuiTabSheet* page) { ActivatePage(page); }
    // The active page's index; 0 when there is none.
    int ActivePageIndex() const;
    // Ignored outside 0 .. PageCount() - 1.
    void setActivePageIndex(int index);
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    // None outside 0 .. PageCount() - 1.
    TsuiTabSheet* GetPage(int index) const;

    // With none, or an index outside the pages, no page is active and no tab selected.
    void ActivatePage(TsuiTabSheet* page);
    void ActivatePage(int index);
    void InsertPage(TsuiTabSheet* page);
    void RemovePage(TsuiTabSheet* page);
    // Moves the page to index and activates it; an index outside the pages moves
    // nothing. Returns the page's resulting index.
    int MovePage(TsuiTabSheet* page, int index);
    // Activates the nearest page with a shown tab before index, else after it.
    void ActivateNextVisiblePage(int index);
    // The first page after (before) index whose tab is shown, going round the list and ending at
    // index itself; -1 when no tab is shown.
    int FindNextVisiblePage(int index) const;
    int FindPrevVisiblePage(int index) const;
    // Brings control into view: this page control first (in the page of an outer page control
    // that holds it), then control when it is one of these pages.
    void ShowControl(QWidget* control);

    int GetImageIndex(int tabIndex) const override;
    void TabActive(int index) override;

protected:
    void BorderColorChanged() override;
    void ColorChanged() override;
    void UpdateUIStyle(TsuiUIStyle style, TsuiFileTheme* theme) override;
    void AlignControls(const QRect& pageRect) override;

private:
    friend class TsuiTabSheet;

    // Rebuilds the tab captions and shown flags from the pages, in order.
    void UpdateCaptions();
    void Renumber();
    // Hides the active page and shows `page` (none: no page). moveFocus gives the
    // page's first control the focus unless the tab row holds it.
    void SwitchTo(TsuiTabSheet* page, bool moveFocus);

    QList<TsuiTabSheet*> m_pages;
    TsuiTabSheet* m_activePage = nullptr;
};

// One page of a page control: a plain area of its colour.
class TsuiTabSheet : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TsuiPageControl* PageControl READ PageControl WRITE setPageControl)
    Q_PROPERTY(int PageIndex READ PageIndex WRITE setPageIndex)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool TabVisible READ TabVisible WRITE setTabVisible)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE setImageIndex)
    Q_PROPERTY(quint32 Color READ Color WRITE setColor)

public:
    // A page control as parent takes the sheet in as its last page.
    explicit TsuiTabSheet(QWidget* parent = nullptr);
    ~TsuiTabSheet() override;

    TsuiPageControl* PageControl() const { return m_pageControl; }
    // Moves the sheet into the page control (none: out of its page control).
    void setPageControl(TsuiPageControl* control);

    // -1 while not in a page control.
    int PageIndex() const { return m_pageIndex; }
    // Moves the page; an index outside the pages leaves it where it is.
    void setPageIndex(int index);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);

    bool TabVisible() const { return m_tabVisible; }
    void setTabVisible(bool visible);

    int ImageIndex() const { return m_imageIndex; }
    // Kept only while the sheet is in a page control.
    void setImageIndex(int index);

    TColor Color() const { return m_color; }
    void setColor(TColor color);

signals:
    void OnShow();
    void OnHide();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class TsuiPageControl;

    // Joins the parent when it is a page control, after leaving the former one.
    void FollowParent();

    TsuiPageControl* m_pageControl = nullptr;
    int m_pageIndex = -1;
    QString m_caption;
    bool m_tabVisible = true;
    int m_imageIndex = -1;
    TColor m_color = 0xFFFFFF;
    bool m_destroying = false;
};
