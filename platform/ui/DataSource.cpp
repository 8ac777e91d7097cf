#include "platform/ui/DataSource.h"

#include <unordered_set>

namespace ui {

namespace {
std::unordered_set<const TDataSource*>& LiveSources()
{
    static std::unordered_set<const TDataSource*> set;
    return set;
}
} // namespace

TDataSource::TDataSource(data::TDataSet* dataSet)
{
    LiveSources().insert(this);
    SetDataSet(dataSet);
}

bool TDataSource::IsAlive(const TDataSource* source)
{
    return LiveSources().count(source) != 0;
}

TDataSource::~TDataSource()
{
    LiveSources().erase(this);
    if (dataSet_ != nullptr)
        dataSet_->RemoveObserver(observerId_);
}

void TDataSource::SetDataSet(data::TDataSet* dataSet)
{
    if (dataSet == dataSet_)
        return;
    if (dataSet_ != nullptr)
        dataSet_->RemoveObserver(observerId_);
    dataSet_ = dataSet;
    observerId_ = 0;
    if (dataSet_ != nullptr)
        observerId_ = dataSet_->AddObserver([this](data::TDataEvent event, const data::TField* field) { Notify(event, field); });
    Notify(data::TDataEvent::deLayoutChange, nullptr);
}

void TDataSource::SetEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    // Linked controls re-read everything (or show nothing) either way.
    const auto links = links_;
    for (const auto& link : links)
        link.second(data::TDataEvent::deLayoutChange, nullptr);
}

int TDataSource::AddLink(TDataLink link)
{
    const int id = nextLinkId_++;
    links_.emplace_back(id, std::move(link));
    return id;
}

void TDataSource::RemoveLink(int id)
{
    std::erase_if(links_, [id](const auto& l) { return l.first == id; });
}

void TDataSource::Notify(data::TDataEvent event, const data::TField* field)
{
    if (!enabled_)
        return;
    // A copy: a control may unlink itself while being told.
    const auto links = links_;
    for (const auto& link : links)
        link.second(event, field);
    if (OnDataChange && (event == data::TDataEvent::deRecordChange || event == data::TDataEvent::deDataSetChange ||
                         event == data::TDataEvent::deDataSetScroll || event == data::TDataEvent::deFieldChange))
        OnDataChange(this, field);
}

void TSourceLink::SetSource(TDataSource* source)
{
    Unlink();
    source_ = source;
    if (source_ != nullptr)
        id_ = source_->AddLink(onChange_);
    onChange_(data::TDataEvent::deLayoutChange, nullptr);
}

void TSourceLink::Unlink()
{
    if (source_ != nullptr && TDataSource::IsAlive(source_))
        source_->RemoveLink(id_);
    source_ = nullptr;
    id_ = 0;
}

} // namespace ui
