#include "cli/CliUi.h"

#include <string>

#include "platform/Utf.h"

namespace tessary::cli {

Answer CliUi::ShowMessage(std::u16string_view text, std::u16string_view, MessageIcon,
                          MessageButtons buttons) {
    if (buttons == MessageButtons::kOk) {
        Print(Utf8(text));
        return Answer::kOk;
    }
    // The only question of a run is the INS64 line, and the line is always given.
    return m_line == 2 ? Answer::kNo : Answer::kYes;
}

void CliUi::Print(std::string_view text) const {
    std::fwrite(text.data(), 1, text.size(), m_err);
    std::fputc('\n', m_err);
    std::fflush(m_err);
}

}  // namespace tessary::cli
