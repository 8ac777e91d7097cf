#pragma once
// A set of tab pages. Controls are placed on Page(i). A click on a tab by the user brings the page
// to the front and then runs OnClick; code setting the page (SetPageIndex, ActivePage by caption)
// runs no handler.

#include "platform/ui/Control.h"

#include <QTabWidget>

#include <string>
#include <vector>

namespace ui {

class TTabbedNotebook : public QTabWidget, public TControl {
    Q_OBJECT
public:
    explicit TTabbedNotebook(QWidget* parent = nullptr, const std::vector<std::string>& pages = {});

    int AddPage(const std::string& caption); // its index
    int PageCount() const { return count(); }
    QWidget* Page(int index) const;          // the container of a page's controls
    std::string PageCaption(int index) const;

    int PageIndex() const { return currentIndex(); }
    void SetPageIndex(int index); // out of range: nothing

    // Clicks the tab of a page as the user would (used by tests and by code that must behave like
    // a tab click).
    void ClickTab(int index);

    TNotifyEvent OnClick;    // after the user brought another page to the front
    TNotifyEvent OnChanging; // before that page change

private:
    void TabClicked(int index);
    int settingInCode_ = 0;
};

// The newer page control has the same rules.
using TPageControl = TTabbedNotebook;

} // namespace ui
