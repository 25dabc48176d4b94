#include "tools/FileAttributes.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace tessary {

bool HasReadOnlyAttribute(const PathString& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status =
        fs::status(fs::path(std::u8string(path.begin(), path.end())), ec);
    if (ec || !fs::is_regular_file(status)) {
        return false;
    }
    constexpr fs::perms kWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & kWrite) == fs::perms::none;
}

}  // namespace tessary
