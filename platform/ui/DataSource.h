#pragma once
// Links a dataset to its data-bound controls. The source listens to the dataset's change
// notifications and passes them on to every linked control. A dataset must outlive the data
// sources over it (declare datasets before data sources in a window).

#include "platform/data/DataSet.h"
#include "platform/ui/Types.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

using TDataLink = std::function<void(data::TDataEvent event, const data::TField* field)>;

class TDataSource : public TObject {
public:
    explicit TDataSource(data::TDataSet* dataSet = nullptr);
    ~TDataSource() override;

    std::string Name;

    data::TDataSet* DataSet() const { return dataSet_; }
    // Linked controls are told deLayoutChange.
    void SetDataSet(data::TDataSet* dataSet);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on); // a disabled source shows nothing

    int AddLink(TDataLink link);
    void RemoveLink(int id);
    // Whether a data source still exists: a control that outlives its source does not unlink.
    static bool IsAlive(const TDataSource* source);

    // Runs after the linked controls were told of a change of the current record or its values.
    std::function<void(TObject* Sender, const data::TField* Field)> OnDataChange;

private:
    void Notify(data::TDataEvent event, const data::TField* field);

    data::TDataSet* dataSet_ = nullptr;
    int observerId_ = 0;
    bool enabled_ = true;
    int nextLinkId_ = 1;
    std::vector<std::pair<int, TDataLink>> links_;
};

// A data-bound control's link to its data source. Changing the source re-links and tells the
// control deLayoutChange; the link is dropped when the control goes, unless the source is gone.
class TSourceLink {
public:
    explicit TSourceLink(TDataLink onChange) : onChange_(std::move(onChange)) {}
    ~TSourceLink() { Unlink(); }
    TSourceLink(const TSourceLink&) = delete;
    TSourceLink& operator=(const TSourceLink&) = delete;

    TDataSource* Source() const { return source_; }
    void SetSource(TDataSource* source);
    // Drops the link without telling the control.
    void Unlink();

private:
    TDataLink onChange_;
    TDataSource* source_ = nullptr;
    int id_ = 0;
};

} // namespace ui
