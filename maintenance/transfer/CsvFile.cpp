#include "maintenance/transfer/CsvFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace transfer {

namespace {

constexpr std::size_t kFlushSize = 1 << 20;

std::string ErrorText(int error)
{
    return std::strerror(error);
}

} // namespace

CsvFile::WriteFunction CsvFile::Writer = &std::fwrite;

void AppendCsvValue(std::string& line, std::string_view value)
{
    if (value.find_first_of(";\"\r\n") == std::string_view::npos) {
        line.append(value);
    } else {
        line += '"';
        for (const char c : value) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    }
    line += ';';
}

CsvFile::~CsvFile()
{
    Discard();
}

void CsvFile::Create(const fs::path& target)
{
    Discard();
    target_ = target;
    std::string pattern = (target.parent_path().empty() ? fs::path(".") : target.parent_path()) / ("." + target.filename().string() + ".XXXXXX");
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        throw ECsvWriteError(ErrorText(errno));
    fchmod(fd, 0644);
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
        const int error = errno;
        close(fd);
        unlink(pattern.c_str());
        throw ECsvWriteError(ErrorText(error));
    }
    temporary_ = pattern;
    pending_.clear();
}

void CsvFile::WriteLine(std::string_view utf8)
{
    if (file_ == nullptr)
        throw ECsvWriteError("soubor není otevřen");
    codePage_.FromUtf8(utf8, converted_);
    pending_ += converted_;
    if (pending_.size() >= kFlushSize)
        Flush();
}

void CsvFile::Flush()
{
    if (pending_.empty())
        return;
    errno = 0;
    const std::size_t written = Writer(pending_.data(), 1, pending_.size(), file_);
    if (written != pending_.size())
        throw ECsvWriteError(errno != 0 ? ErrorText(errno) : std::string("zápis se nezdařil"));
    pending_.clear();
}

void CsvFile::Commit()
{
    if (file_ == nullptr)
        throw ECsvWriteError("soubor není otevřen");
    Flush();
    if (std::fflush(file_) != 0 || fsync(fileno(file_)) != 0)
        throw ECsvWriteError(ErrorText(errno));
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) {
        const int error = errno;
        unlink(temporary_.c_str());
        throw ECsvWriteError(ErrorText(error));
    }
    std::error_code error;
    fs::rename(temporary_, target_, error);
    if (error) {
        unlink(temporary_.c_str());
        throw ECsvWriteError(error.message());
    }
    temporary_.clear();
}

void CsvFile::Discard()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
    pending_.clear();
}

} // namespace transfer
