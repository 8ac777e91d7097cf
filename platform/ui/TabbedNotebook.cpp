#include "platform/ui/TabbedNotebook.h"

#include "platform/ui/Application.h"
#include "platform/ui/Text.h"

#include <QTabBar>

namespace ui {

TTabbedNotebook::TTabbedNotebook(QWidget* parent, const std::vector<std::string>& pages)
    : QTabWidget(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    for (const std::string& caption : pages)
        AddPage(caption);
    connect(tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index != currentIndex() && OnChanging)
            Application.RunHandler([this] { OnChanging(this); });
    });
    connect(this, &QTabWidget::currentChanged, this, [this](int index) { TabClicked(index); });
}

int TTabbedNotebook::AddPage(const std::string& caption)
{
    ++settingInCode_;
    auto* page = new QWidget(this);
    const int index = addTab(page, Q(caption));
    --settingInCode_;
    return index;
}

QWidget* TTabbedNotebook::Page(int index) const
{
    return widget(index);
}

std::string TTabbedNotebook::PageCaption(int index) const
{
    return S(tabText(index));
}

void TTabbedNotebook::SetPageIndex(int index)
{
    if (index < 0 || index >= count())
        return;
    ++settingInCode_;
    setCurrentIndex(index);
    --settingInCode_;
}

void TTabbedNotebook::ClickTab(int index)
{
    if (index < 0 || index >= count() || index == currentIndex())
        return;
    if (OnChanging)
        Application.RunHandler([this] { OnChanging(this); });
    setCurrentIndex(index);
}

void TTabbedNotebook::TabClicked(int)
{
    if (settingInCode_ > 0 || !OnClick)
        return;
    Application.RunHandler([this] { OnClick(this); });
}

} // namespace ui
