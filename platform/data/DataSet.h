#pragma once
// The generic dataset: a cursor over records with fields, states, filters, bookmarks, events
// and change notifications. Descendants (tables and queries over the table files, the dBase
// table) plug in through the protected record protocol below; the base class keeps the state
// machine and the navigation logic in one place.

#include "platform/data/Field.h"
#include "platform/data/Value.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace data {

class TDataSet;

// A failure of the data layer; its message is shown to the user as it stands.
class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields, dsFilter };
enum class TGetMode { gmCurrent, gmNext, gmPrior };
enum class TGetResult { grOK, grBOF, grEOF, grError };
enum class TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };
enum class TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

using TBookmark = std::vector<std::uint8_t>;

// What a grid or data-bound control is told after a change.
enum class TDataEvent {
    deFieldChange,   // one field of the current record changed (field given)
    deRecordChange,  // the current record's values changed (post, cancel, resync)
    deDataSetChange, // the set of records changed (open, filter, refresh, delete, insert)
    deDataSetScroll, // the cursor moved to another record
    deUpdateState,   // the state changed (browse, edit, insert, inactive)
    deLayoutChange,  // fields or open/closed changed
};
using TDataObserver = std::function<void(TDataEvent, const TField*)>;

// A record buffer is opaque to the base class: each descendant allocates its own kind.
struct TRecordBuffer {
    virtual ~TRecordBuffer() = default;
};

// An in-memory byte stream; memo fields are read and written through one (descendants may
// override the destructor's behaviour, for example to store the memo when a write stream ends).
class TMemoryStream {
public:
    virtual ~TMemoryStream() = default;
    std::string& Data() { return data_; }
    const std::string& Data() const { return data_; }
    std::size_t Position() const { return position_; }
    void Seek(std::size_t position) { position_ = position < data_.size() ? position : data_.size(); }
    std::size_t Size() const { return data_.size(); }
    std::size_t Read(char* out, std::size_t count);
    void Write(const char* in, std::size_t count);
    void Truncate() { data_.resize(position_); } // cut at the current position

private:
    std::string data_;
    std::size_t position_ = 0;
};

using TDataSetNotifyEvent = std::function<void(TDataSet&)>;
using TFilterRecordEvent = std::function<void(TDataSet&, bool& accept)>;

// Descendants close themselves in their destructor (Close() needs their overrides).
class TDataSet {
public:
    TDataSet();
    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    // Component name, used in messages ("Table2").
    std::string Name;

    // Opening and closing.
    void Open();
    void Close();
    bool Active() const { return state_ != TDataSetState::dsInactive; }
    void SetActive(bool active);
    TDataSetState State() const { return state_; }

    // Navigation. Eof/Bof and RecordCount see only records that pass the active filter.
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsEmpty() const;
    int RecordCount();
    int RecNo();            // 1-based position of the current record, or -1 when unknown
    void SetRecNo(int recNo);

    // Editing. Edit on an empty dataset starts a new record; Insert/Append while an unchanged new
    // record is pending drop that record first; Post saves even when nothing changed.
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    void CheckBrowseMode(); // posts a pending edit; drops an unchanged new record
    bool Modified() const { return modified_; }
    virtual bool CanModify() const { return Active() && GetCanModify(); }
    void Refresh();

    // Filtering. Setting the text or the switch on an open dataset first ends a pending edit
    // (CheckBrowseMode), then moves to the first record that passes. A text set while filtering
    // is off takes effect when filtering is switched on.
    const std::string& Filter() const { return filterText_; }
    void SetFilter(const std::string& text);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool on);

    // Fields. Persistent fields (added before opening, including lookup fields) fix the field
    // order; without them default fields are made from the field definitions when opening.
    TFieldDefs& FieldDefs() { return fieldDefs_; }
    const std::vector<std::unique_ptr<TField>>& Fields() const { return fields_; }
    TField* FindField(std::string_view name) const;     // case-insensitive; nullptr when absent
    TField& FieldByName(std::string_view name) const;   // raises EDatabaseError when absent
    TField& AddField(const std::string& name, TFieldType type, int size = 0);
    TField& AddLookupField(const std::string& name, int size, const std::string& keyFields,
                           TDataSet* lookupDataSet, const std::string& lookupKeyFields,
                           const std::string& lookupResultField);

    // Bookmarks.
    TBookmark GetBookmark();
    void GotoBookmark(const TBookmark& bookmark);
    virtual bool BookmarkValid(const TBookmark& bookmark);

    // Change notifications for grids and data-bound controls.
    int AddObserver(TDataObserver observer);
    void RemoveObserver(int id);
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // Random access for grids: the values of the record at a 0-based position among the records
    // that pass the filter, in field order, without moving the cursor. Datasets that cannot do
    // this answer false.
    virtual bool ReadRecordAt(int position, std::vector<Value>& values);

    // The value of resultField in the first record whose keyField equals key, searching the
    // whole dataset regardless of its filter and cursor (used by lookup fields). Empty when no
    // record has the key.
    virtual Value LookupValue(const std::string& keyField, const Value& key, const std::string& resultField);

    // Events.
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnCalcFields, OnNewRecord;
    TFilterRecordEvent OnFilterRecord;

    // Memo access (reading a memo field's text reads such a stream whole).
    virtual std::unique_ptr<TMemoryStream> CreateBlobStream(TField& field, TBlobStreamMode mode);

    // The application-wide handler that InternalHandleException hands the current exception to;
    // without one the exception is rethrown.
    using TExceptionHandler = std::function<void(std::exception_ptr)>;
    static void SetApplicationExceptionHandler(TExceptionHandler handler);

protected:
    // ---- The record protocol descendants implement. ----
    // InternalOpen opens the cursor and fills FieldDefs (InternalInitFieldDefs); the base then
    // makes the default fields (when no persistent ones were added) and binds every data field
    // to its definition by name.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual void InternalInitFieldDefs() = 0;
    virtual bool IsCursorOpen() const = 0;
    virtual std::unique_ptr<TRecordBuffer> AllocRecordBuffer() = 0;
    virtual TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) = 0;
    virtual void InternalFirst() = 0;                  // before the first record
    virtual void InternalLast() = 0;                   // after the last record
    virtual void InternalInitRecord(TRecordBuffer& buffer) = 0;
    virtual void InternalPost() = 0;                   // writes ActiveBuffer(); State() tells edit or insert
    virtual void InternalDelete() = 0;                 // deletes the current record
    virtual void InternalAddRecord(TRecordBuffer& buffer, bool append) = 0;
    virtual void InternalCancel() {}
    virtual void InternalEdit() {}
    virtual void InternalInsert() {}
    virtual void InternalRefresh() {}
    virtual void InternalSetToRecord(TRecordBuffer& buffer) = 0; // cursor onto the buffer's record
    virtual void InternalGotoBookmark(const TBookmark& bookmark) = 0;
    virtual TBookmark GetBookmarkData(const TRecordBuffer& buffer) const = 0;
    virtual void SetBookmarkData(TRecordBuffer& buffer, const TBookmark& bookmark) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(const TRecordBuffer& buffer) const = 0;
    virtual void SetBookmarkFlag(TRecordBuffer& buffer, TBookmarkFlag flag) = 0;
    // Reads a stored field of the active record (or of the filter record in dsFilter). With
    // dest == nullptr it only answers whether the field holds a value.
    virtual bool GetFieldData(const TField& field, Value* dest) = 0;
    // TField::AsString of a stored field. The base builds the text from the value (a memo from its
    // stream); a dataset that can give the same text directly overrides it and passes the fields
    // it cannot give on to the base.
    virtual void GetFieldText(const TField& field, std::string& text);
    // Writes a stored field into the active buffer; sends deFieldChange through DataEvent.
    virtual void SetFieldData(TField& field, const Value& source) = 0;
    virtual int GetRecordCount() = 0;
    virtual int GetRecNo() { return -1; }
    virtual void SetRecNoInternal(int /*recNo*/) {}
    virtual bool GetCanModify() const { return true; }
    virtual int GetRecordSize() const { return 0; }
    virtual void InternalHandleException();
    // Called when the filter text or switch changed on an open dataset, before moving to First.
    virtual void FilterChanged() {}
    // After InternalPost of an edit: true when the active buffer is still the current record,
    // exactly as stored, so Post need not read it again.
    virtual bool PostedInPlace() const { return false; }

    // ---- Helpers for descendants. ----
    TRecordBuffer* ActiveBuffer() const { return activeBuffer_.get(); }
    void SetState(TDataSetState state);
    void DataEvent(TDataEvent event, const TField* field = nullptr);
    void GetCalcFields(TRecordBuffer& buffer); // runs OnCalcFields for calculated fields
    void Resync();                             // re-reads the current record (gmCurrent)
    void ClearBuffers();
    bool DefaultFields() const { return defaultFields_; }

    friend class TField;

private:
    void CheckActive() const;
    void CheckInactive() const;
    void CheckCanModify() const;
    void CreateFieldsFromDefs();
    void BindFields();
    void UpdateCursorPos();
    void CancelUnchangedInsert();
    void BeginInsert(bool append);
    bool StepRecord(TGetMode mode);       // reads the next/prior record into the active buffer
    void ResyncAfterChange();             // current record, else next, else prior, else empty
    void SetEmpty();
    void CalculateFields();
    std::string Label() const;            // "Table2: " for messages
    Value GetCalcValue(const TField& field) const;
    void SetCalcValue(const TField& field, Value value);

    TDataSetState state_ = TDataSetState::dsInactive;
    bool eof_ = true;
    bool bof_ = true;
    bool modified_ = false;
    bool filtered_ = false;
    bool defaultFields_ = true;
    std::string filterText_;
    TFieldDefs fieldDefs_;
    std::vector<std::unique_ptr<TField>> fields_;
    std::unique_ptr<TRecordBuffer> activeBuffer_;
    std::unique_ptr<TRecordBuffer> savedBuffer_; // the record as it was before Edit/Insert
    int disableCount_ = 0;
    bool pendingChange_ = false;
    bool recordValid_ = false; // the active buffer holds a record (browse/edit)
    std::unique_ptr<TRecordBuffer> scratchBuffer_;
    std::vector<std::pair<const TField*, Value>> calcValues_;
    int nextObserverId_ = 1;
    std::vector<std::pair<int, TDataObserver>> observers_;
};

// Keeps the controls over a dataset from following it while the scope lasts (a loop walking it).
class ControlsStill {
public:
    explicit ControlsStill(TDataSet& dataSet) : dataSet_(dataSet) { dataSet_.DisableControls(); }
    ~ControlsStill() { dataSet_.EnableControls(); }
    ControlsStill(const ControlsStill&) = delete;
    ControlsStill& operator=(const ControlsStill&) = delete;

private:
    TDataSet& dataSet_;
};

} // namespace data
