#include "platform/FileFilter.h"

namespace tessary {

std::vector<FileFilter> ParseFileFilter(std::u16string_view filter) {
    std::vector<FileFilter> filters;
    while (!filter.empty()) {
        const size_t bar = filter.find(u'|');
        if (bar == 0 || bar == std::u16string_view::npos) {
            break;
        }
        FileFilter entry{std::u16string(filter.substr(0, bar)), {}};
        filter.remove_prefix(bar + 1);
        const size_t end = filter.find(u'|');
        entry.patterns = std::u16string(filter.substr(0, end));
        filters.push_back(std::move(entry));
        if (end == std::u16string_view::npos) {
            break;
        }
        filter.remove_prefix(end + 1);
    }
    return filters;
}

}  // namespace tessary
