#pragma once
// The program's version values (the version resource's strings).
#include <cstdint>
#include <string_view>

namespace tessary::res {

struct VersionStrings {
    std::u16string_view fileVersion;  // "major.minor.patch.0" from the project version
    std::u16string_view fileDescription;
    std::u16string_view legalCopyright;
    std::u16string_view originalFilename;
    std::u16string_view companyKey;  // the settings' company key
};

const VersionStrings& ProgramVersion();

// Digits accumulate into a field, '.' or ',' or the end close it, anything else is skipped;
// each closed field is shifted in by 8 bits: "0.3.5.0" gives 0x00030500.
uint32_t ParseFileVersion(std::u16string_view text);

// The original file name cut at its last '.' (the settings' profile name); the whole name
// when it has no '.'.
std::u16string_view ProfileName(std::u16string_view originalFilename);

}  // namespace tessary::res
