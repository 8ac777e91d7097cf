#include "platform/sys/ProgramFolder.h"

#include <cerrno>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace sys {

std::string FolderOfPath(std::string_view filePath)
{
    const auto slash = filePath.rfind('/');
    if (slash == std::string_view::npos)
        return {};
    if (slash == 0)
        return "/";
    return std::string(filePath.substr(0, slash));
}

std::string ProgramFolder()
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            throw std::system_error(errno, std::generic_category(), "/proc/self/exe");
        if (static_cast<std::size_t>(n) < buffer.size())
            return FolderOfPath(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
        buffer.resize(buffer.size() * 2); // the path may have been cut: try a larger buffer
    }
}

} // namespace sys
