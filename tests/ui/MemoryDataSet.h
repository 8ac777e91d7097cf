#pragma once
// A small in-memory dataset for the tests of data-bound controls: rows of values, a cursor, and
// random row access that a test can switch off.

#include "platform/data/DataSet.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ui_test {

class MemoryDataSet : public data::TDataSet {
public:
    struct Column {
        std::string name;
        data::TFieldType type;
        int size = 0;
    };
    MemoryDataSet(std::vector<Column> columns, std::vector<std::vector<data::Value>> rows)
        : columns_(std::move(columns)), rows_(std::move(rows))
    {
    }

    bool randomAccess = true;
    int readRecordAtCalls = 0;
    const std::vector<std::vector<data::Value>>& Rows() const { return rows_; }

    bool ReadRecordAt(int position, std::vector<data::Value>& values) override
    {
        ++readRecordAtCalls;
        if (!randomAccess || position < 0 || position >= static_cast<int>(rows_.size()))
            return false;
        values = rows_[static_cast<std::size_t>(position)];
        return true;
    }

protected:
    struct Buffer : data::TRecordBuffer {
        std::vector<data::Value> values;
        int index = -1;
        data::TBookmarkFlag flag = data::TBookmarkFlag::bfCurrent;
    };
    static Buffer& B(data::TRecordBuffer& b) { return static_cast<Buffer&>(b); }
    static const Buffer& B(const data::TRecordBuffer& b) { return static_cast<const Buffer&>(b); }

    void InternalOpen() override
    {
        InternalInitFieldDefs();
        open_ = true;
        cursor_ = -1;
    }
    void InternalClose() override { open_ = false; }
    void InternalInitFieldDefs() override
    {
        FieldDefs().Clear();
        for (const Column& c : columns_)
            FieldDefs().Add(c.name, c.type, c.size);
    }
    bool IsCursorOpen() const override { return open_; }
    std::unique_ptr<data::TRecordBuffer> AllocRecordBuffer() override { return std::make_unique<Buffer>(); }
    data::TGetResult GetRecord(data::TRecordBuffer& buffer, data::TGetMode mode, bool) override
    {
        const int n = static_cast<int>(rows_.size());
        switch (mode) {
        case data::TGetMode::gmNext:
            if (cursor_ >= n - 1) {
                cursor_ = n;
                return data::TGetResult::grEOF;
            }
            ++cursor_;
            break;
        case data::TGetMode::gmPrior:
            if (cursor_ <= 0) {
                cursor_ = -1;
                return data::TGetResult::grBOF;
            }
            --cursor_;
            break;
        case data::TGetMode::gmCurrent:
            if (cursor_ < 0 || cursor_ >= n)
                return data::TGetResult::grError;
            break;
        }
        B(buffer).values = rows_[static_cast<std::size_t>(cursor_)];
        B(buffer).index = cursor_;
        B(buffer).flag = data::TBookmarkFlag::bfCurrent;
        return data::TGetResult::grOK;
    }
    void InternalFirst() override { cursor_ = -1; }
    void InternalLast() override { cursor_ = static_cast<int>(rows_.size()); }
    void InternalInitRecord(data::TRecordBuffer& buffer) override
    {
        B(buffer).values.assign(columns_.size(), data::Value{});
        B(buffer).index = -1;
    }
    void InternalPost() override
    {
        Buffer& b = B(*ActiveBuffer());
        if (State() == data::TDataSetState::dsEdit) {
            rows_[static_cast<std::size_t>(b.index)] = b.values;
            cursor_ = b.index;
        } else {
            rows_.push_back(b.values);
            cursor_ = static_cast<int>(rows_.size()) - 1;
        }
    }
    void InternalDelete() override
    {
        rows_.erase(rows_.begin() + cursor_);
        if (cursor_ >= static_cast<int>(rows_.size()))
            cursor_ = static_cast<int>(rows_.size()) - 1;
    }
    void InternalAddRecord(data::TRecordBuffer& buffer, bool) override { rows_.push_back(B(buffer).values); }
    void InternalSetToRecord(data::TRecordBuffer& buffer) override
    {
        if (B(buffer).index >= 0)
            cursor_ = B(buffer).index;
    }
    static int Decode(const data::TBookmark& b)
    {
        return b.size() == 4 ? (b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24) : -1;
    }
    void InternalGotoBookmark(const data::TBookmark& bookmark) override { cursor_ = Decode(bookmark); }
    data::TBookmark GetBookmarkData(const data::TRecordBuffer& buffer) const override
    {
        const auto v = static_cast<std::uint32_t>(B(buffer).index);
        return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
                static_cast<std::uint8_t>(v >> 24)};
    }
    void SetBookmarkData(data::TRecordBuffer& buffer, const data::TBookmark& bookmark) override
    {
        B(buffer).index = Decode(bookmark);
    }
    data::TBookmarkFlag GetBookmarkFlag(const data::TRecordBuffer& buffer) const override { return B(buffer).flag; }
    void SetBookmarkFlag(data::TRecordBuffer& buffer, data::TBookmarkFlag flag) override { B(buffer).flag = flag; }
    bool GetFieldData(const data::TField& field, data::Value* dest) override
    {
        const Buffer& b = B(*ActiveBuffer());
        const auto i = static_cast<std::size_t>(field.FieldNo() - 1);
        if (i >= b.values.size())
            return false;
        if (dest != nullptr)
            *dest = b.values[i];
        return !data::IsNull(b.values[i]);
    }
    void SetFieldData(data::TField& field, const data::Value& source) override
    {
        Buffer& b = B(*ActiveBuffer());
        b.values[static_cast<std::size_t>(field.FieldNo() - 1)] = source;
        DataEvent(data::TDataEvent::deFieldChange, &field);
    }
    int GetRecordCount() override { return static_cast<int>(rows_.size()); }
    int GetRecNo() override { return cursor_ + 1; }
    void SetRecNoInternal(int recNo) override
    {
        cursor_ = std::clamp(recNo - 1, 0, static_cast<int>(rows_.size()) - 1);
    }

private:
    std::vector<Column> columns_;
    std::vector<std::vector<data::Value>> rows_;
    bool open_ = false;
    int cursor_ = -1;
};

} // namespace ui_test
