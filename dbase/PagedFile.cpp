#include "dbase/PagedFile.h"

#include "dbase/Errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dbase {

namespace {
constexpr std::size_t kCacheSize = 64 * 1024;
}

TPagedFile::TPagedFile(const std::string& fileName, TOpenMode mode) : fileName_(fileName), mode_(mode) {
    int flags = O_CLOEXEC;
    switch (mode) {
    case TOpenMode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case TOpenMode::ReadWrite: flags |= O_RDWR; break;
    case TOpenMode::ReadOnly: flags |= O_RDONLY; break;
    }
    fd_ = ::open(fileName.c_str(), flags, 0644);
    if (fd_ < 0) Fail("Cannot open file");
    if (mode != TOpenMode::ReadOnly && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd_);
        fd_ = -1;
        if (err == EWOULDBLOCK)
            throw EBinaryDataSetError("Cannot open file " + fileName_ + ": it is in use by another program");
        errno = err;
        Fail("Cannot lock file");
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int err = errno;
        ::close(fd_);
        fd_ = -1;
        errno = err;
        Fail("Cannot read the size of file");
    }
    size_ = st.st_size;
}

TPagedFile::~TPagedFile() {
    if (fd_ >= 0) ::close(fd_);
}

void TPagedFile::Fail(const char* what) const {
    throw EBinaryDataSetError(std::string(what) + " " + fileName_ + ": " + std::strerror(errno));
}

std::size_t TPagedFile::ReadRecord(std::int64_t n, void* buffer) {
    const std::size_t got = ReadAt(Seek(n), buffer, RecordSize);
    if (got < RecordSize) std::memset(static_cast<char*>(buffer) + got, 0, RecordSize - got);
    return got;
}

void TPagedFile::WriteRecord(std::int64_t n, const void* buffer) {
    WriteAt(Seek(n), buffer, RecordSize);
}

std::int64_t TPagedFile::CalcRecordCount() const {
    if (RecordSize == 0 || size_ <= static_cast<std::int64_t>(HeaderSize)) return 0;
    return (size_ - static_cast<std::int64_t>(HeaderSize)) / static_cast<std::int64_t>(RecordSize);
}

std::size_t TPagedFile::ReadAt(std::int64_t offset, void* buffer, std::size_t length) {
    if (offset < 0 || length == 0 || offset >= size_) return 0;
    length = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(length), size_ - offset));
    auto* out = static_cast<char*>(buffer);
    if (length > kCacheSize / 2) { // large reads bypass the cache
        std::size_t done = 0;
        while (done < length) {
            const ssize_t r = ::pread(fd_, out + done, length - done, offset + static_cast<std::int64_t>(done));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) Fail("Cannot read file");
            if (r == 0) break;
            done += static_cast<std::size_t>(r);
        }
        return done;
    }
    if (offset < cacheStart_ || offset + static_cast<std::int64_t>(length) > cacheStart_ + static_cast<std::int64_t>(cacheLength_)) {
        if (cache_.empty()) cache_.resize(kCacheSize);
        cacheStart_ = offset;
        cacheLength_ = 0;
        while (cacheLength_ < kCacheSize) {
            const ssize_t r = ::pread(fd_, cache_.data() + cacheLength_, kCacheSize - cacheLength_,
                                      offset + static_cast<std::int64_t>(cacheLength_));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) { cacheLength_ = 0; Fail("Cannot read file"); }
            if (r == 0) break;
            cacheLength_ += static_cast<std::size_t>(r);
        }
        length = std::min(length, cacheLength_);
    }
    std::memcpy(out, cache_.data() + (offset - cacheStart_), length);
    return length;
}

void TPagedFile::WriteAt(std::int64_t offset, const void* buffer, std::size_t length) {
    if (mode_ == TOpenMode::ReadOnly) throw EBinaryDataSetError("Cannot write " + fileName_ + ": it is open read-only");
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t r = ::pwrite(fd_, in + done, length - done, offset + static_cast<std::int64_t>(done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) Fail("Cannot write file");
        done += static_cast<std::size_t>(r);
    }
    size_ = std::max(size_, offset + static_cast<std::int64_t>(length));
    // Keep the cached window in step with what was written.
    const std::int64_t lo = std::max(offset, cacheStart_);
    const std::int64_t hi = std::min(offset + static_cast<std::int64_t>(length),
                                     cacheStart_ + static_cast<std::int64_t>(cacheLength_));
    if (lo < hi) std::memcpy(cache_.data() + (lo - cacheStart_), in + (lo - offset), static_cast<std::size_t>(hi - lo));
}

void TPagedFile::Truncate(std::int64_t length) {
    if (::ftruncate(fd_, length) != 0) Fail("Cannot truncate file");
    size_ = length;
    cacheLength_ = 0;
}

} // namespace dbase
