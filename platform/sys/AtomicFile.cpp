#include "platform/sys/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sys {

namespace fs = std::filesystem;

namespace {

std::string Reason(int error) { return std::strerror(error); }

Status FolderError(const fs::path& folder, int error)
{
    return Status::Fail("Nelze vytvořit složku " + folder.string() + ": " + Reason(error));
}

Status WriteError(const fs::path& file, int error)
{
    return Status::Fail("Nelze zapsat soubor " + file.string() + ": " + Reason(error));
}

} // namespace

Status EnsureFolder(const fs::path& folder, mode_t mode)
{
    if (folder.empty())
        return Status::Ok();
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? Status::Ok() : FolderError(folder, ENOTDIR);
    if (errno != ENOENT)
        return FolderError(folder, errno);
    const fs::path parent = folder.parent_path();
    if (parent != folder) {
        if (Status s = EnsureFolder(parent, mode); !s)
            return s;
    }
    if (mkdir(folder.c_str(), mode) != 0 && errno != EEXIST)
        return FolderError(folder, errno);
    return Status::Ok();
}

Status WriteFileAtomically(const fs::path& target, std::string_view content, mode_t mode)
{
    // Replace the file a symbolic link points to, not the link.
    fs::path file = target;
    std::error_code ec;
    if (fs::is_symlink(file, ec)) {
        const fs::path resolved = fs::weakly_canonical(file, ec);
        if (!ec)
            file = resolved;
    }
    const fs::path folder = file.parent_path();
    if (Status s = EnsureFolder(folder); !s)
        return s;

    std::string tempName = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(tempName.data());
    if (fd < 0)
        return WriteError(file, errno);

    auto fail = [&](int error) {
        close(fd);
        unlink(tempName.c_str());
        return WriteError(file, error);
    };
    if (fchmod(fd, mode) != 0)
        return fail(errno);
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (fsync(fd) != 0)
        return fail(errno);
    if (close(fd) != 0) {
        const int error = errno;
        unlink(tempName.c_str());
        return WriteError(file, error);
    }
    if (rename(tempName.c_str(), file.c_str()) != 0) {
        const int error = errno;
        unlink(tempName.c_str());
        return WriteError(file, error);
    }
    // Make the rename itself durable.
    const int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        const int rc = fsync(dir);
        const int error = errno;
        close(dir);
        if (rc != 0 && error != EINVAL)
            return WriteError(file, error);
    }
    return Status::Ok();
}

Status ReadWholeFile(const fs::path& file, std::string& content)
{
    content.clear();
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return Status::Fail("Soubor " + file.string() + " neexistuje.");
        return Status::Fail("Nelze číst soubor " + file.string() + ": " + Reason(errno));
    }
    char buffer[8192];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            close(fd);
            content.clear();
            return Status::Fail("Nelze číst soubor " + file.string() + ": " + Reason(error));
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return Status::Ok();
}

} // namespace sys
