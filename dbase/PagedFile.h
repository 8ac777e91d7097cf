#pragma once
// A file of fixed-size records (or pages) behind a header. Reads go through a small window cache
// so that walking a table record by record costs few system calls and memory stays constant.

#include <cstdint>
#include <string>
#include <vector>

namespace dbase {

enum class TOpenMode {
    Create,    // a new, empty file (an existing one is truncated)
    ReadWrite, // read and write; other writers are refused while it is open
    ReadOnly,  // read only; nothing is denied to others
};

class TPagedFile {
public:
    TPagedFile(const std::string& fileName, TOpenMode mode);
    virtual ~TPagedFile();
    TPagedFile(const TPagedFile&) = delete;
    TPagedFile& operator=(const TPagedFile&) = delete;

    const std::string& FileName() const { return fileName_; }
    TOpenMode Mode() const { return mode_; }
    bool Writable() const { return mode_ != TOpenMode::ReadOnly; }

    std::uint32_t HeaderSize = 0; // bytes before record 0
    std::uint32_t RecordSize = 0; // bytes per record

    // Byte offset of record n.
    std::int64_t Seek(std::int64_t n) const {
        return static_cast<std::int64_t>(HeaderSize) + n * static_cast<std::int64_t>(RecordSize);
    }
    // Reads record n; bytes beyond the end of the file read as zero. Returns the bytes read.
    std::size_t ReadRecord(std::int64_t n, void* buffer);
    void WriteRecord(std::int64_t n, const void* buffer);
    // Whole records after the header (a trailing partial record and a file shorter than its
    // header count nothing).
    std::int64_t CalcRecordCount() const;

    // Raw access. ReadAt returns the bytes read (fewer at the end of the file).
    std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t length);
    void WriteAt(std::int64_t offset, const void* buffer, std::size_t length);
    std::int64_t Size() const { return size_; }
    void Truncate(std::int64_t length);

private:
    void Fail(const char* what) const;

    std::string fileName_;
    TOpenMode mode_;
    int fd_ = -1;
    std::int64_t size_ = 0;
    std::vector<char> cache_;
    std::int64_t cacheStart_ = 0;
    std::size_t cacheLength_ = 0;
};

} // namespace dbase
