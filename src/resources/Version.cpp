#include "resources/Version.h"

#include "resources/VersionValues.h"

namespace tessary::res {
namespace {

// The ASCII version string widened at compile time.
template <size_t N>
struct Wide {
    char16_t text[N] = {};
    constexpr explicit Wide(const char (&narrow)[N]) {
        for (size_t i = 0; i < N; ++i) {
            text[i] = static_cast<char16_t>(narrow[i]);
        }
    }
    constexpr std::u16string_view View() const { return {text, N - 1}; }
};

constexpr Wide kFileVersion(TESSARY_FILE_VERSION);

constexpr VersionStrings kVersion{
    kFileVersion.View(),
    u"TessaryView INSログデータ表示",
    u"Copyright (C) 2026 Nemra",
    u"TessaryView.exe",
    u"Nemra",
};

}  // namespace

const VersionStrings& ProgramVersion() {
    return kVersion;
}

uint32_t ParseFileVersion(std::u16string_view text) {
    uint32_t result = 0;
    uint32_t field = 0;
    for (char16_t c : text) {
        if (c >= u'0' && c <= u'9') {
            field = field * 10 + static_cast<uint32_t>(c - u'0');
        } else if (c == u'.' || c == u',') {
            result = result * 256 + field;
            field = 0;
        }
    }
    if (!text.empty()) {
        result = result * 256 + field;
    }
    return result;
}

std::u16string_view ProfileName(std::u16string_view originalFilename) {
    const size_t dot = originalFilename.rfind(u'.');
    return dot == std::u16string_view::npos ? originalFilename : originalFilename.substr(0, dot);
}

}  // namespace tessary::res
