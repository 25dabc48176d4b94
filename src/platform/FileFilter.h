#pragma once
// The filter string of an open-file dialog ("label|patterns|...||", as the resources write it).
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// One filter: its label ("INS ログファイル (*.dat)") and patterns.
struct FileFilter {
    std::u16string label;
    std::u16string patterns;  // ';'-separated
};
// Splits a filter string of "label|patterns|...||" pairs.
std::vector<FileFilter> ParseFileFilter(std::u16string_view filter);

}  // namespace tessary
