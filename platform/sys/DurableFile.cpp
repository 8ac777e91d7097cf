#include "platform/sys/DurableFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace sys {

namespace fs = std::filesystem;

namespace {

std::string Reason(int error) { return std::strerror(error); }

// Closes a descriptor when the scope ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    int Release()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd);
    }

private:
    int fd_;
};

// Copies the rest of `in` to `out`; 0 or the error number.
int CopyData(int in, int out)
{
    bool kernelCopy = true;
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = 0;
        if (kernelCopy) {
            n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;
                continue;
            }
        } else {
            n = ::read(in, buffer, sizeof buffer);
            if (n > 0) {
                for (ssize_t done = 0; done < n;) {
                    const ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
                    if (w < 0) {
                        if (errno == EINTR)
                            continue;
                        return errno;
                    }
                    done += w;
                }
            }
        }
        if (n == 0)
            return 0;
        if (n < 0 && errno != EINTR)
            return errno;
    }
}

} // namespace

Status SyncFolder(const fs::path& folder)
{
    const fs::path path = folder.empty() ? fs::path(".") : folder;
    Descriptor dir(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0)
        return Status::Fail("Složku " + path.string() + " nelze otevřít: " + Reason(errno));
    if (::fsync(dir.Get()) != 0 && errno != EINVAL)
        return Status::Fail("Složku " + path.string() + " nelze uložit na disk: " + Reason(errno));
    return Status::Ok();
}

Status CopyFileSynced(const fs::path& from, const fs::path& to)
{
    const auto fail = [&](int error) {
        ::unlink(to.c_str());
        return Status::Fail("Soubor " + from.string() + " nelze zkopírovat do " + to.string() + ": " + Reason(error));
    };
    Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0)
        return Status::Fail("Soubor " + from.string() + " nelze otevřít: " + Reason(errno));
    struct stat source {};
    if (::fstat(in.Get(), &source) != 0)
        return Status::Fail("Soubor " + from.string() + " nelze číst: " + Reason(errno));
    Descriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (out.Get() < 0)
        return Status::Fail("Soubor " + to.string() + " nelze vytvořit: " + Reason(errno));
    if (const int error = CopyData(in.Get(), out.Get()); error != 0)
        return fail(error);
    struct stat written {};
    if (::fstat(out.Get(), &written) != 0)
        return fail(errno);
    if (written.st_size != source.st_size)
        return fail(EIO); // the source changed or the copy stopped short
    if (::fsync(out.Get()) != 0)
        return fail(errno);
    if (out.Release() != 0)
        return fail(errno);
    return Status::Ok();
}

Status RenameSynced(const fs::path& from, const fs::path& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0)
        return Status::Fail("Soubor " + from.string() + " nelze přejmenovat na " + to.string() + ": " + Reason(errno));
    return SyncFolder(to.parent_path());
}

Status LinkOrCopy(const fs::path& from, const fs::path& to)
{
    if (::link(from.c_str(), to.c_str()) == 0)
        return Status::Ok();
    const int error = errno;
    if (error != EXDEV && error != EPERM && error != EOPNOTSUPP && error != EMLINK && error != ENOSYS)
        return Status::Fail("Soubor " + from.string() + " nelze odložit jako " + to.string() + ": " + Reason(error));
    fs::path temporary = to;
    temporary += ".tmp";
    if (Status copied = CopyFileSynced(from, temporary); !copied)
        return copied;
    if (Status renamed = RenameSynced(temporary, to); !renamed) {
        ::unlink(temporary.c_str());
        return renamed;
    }
    return Status::Ok();
}

} // namespace sys
