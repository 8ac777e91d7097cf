// Makes sure the installation's registry key exists, as an installer does: a missing key is
// created without values; an existing one is left as it is. With a folder given, says on standard
// error when the key's Path names another folder, since Startel then starts Lendar from there.
//
//   lendar-create-key [program folder]

#include "platform/sys/Registry.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: lendar-create-key [program folder]\n";
        return 2;
    }
    sys::RegistryKey key;
    if (const sys::Status opened = key.Open(true); !opened) {
        std::cerr << opened.message << '\n';
        return 1;
    }
    if (argc == 2) {
        const auto path = key.ReadString("Path");
        std::error_code ec;
        if (path && !std::filesystem::equivalent(*path, argv[1], ec))
            std::cerr << "Note: the key " << key.FilePath().string() << " records Path=" << *path
                      << "; Startel starts Lendar from that folder.\n";
    }
    return 0;
}
