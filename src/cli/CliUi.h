#pragma once
// The UI service of tessarydump: no one is there to answer, so questions are answered from
// the options and messages go to the error stream; no dialog can open.
#include <cstdio>
#include <string_view>

#include "platform/UiService.h"

namespace tessary::cli {

class CliUi : public UiService {
public:
    // `line`: the --line option (1 or 2), which answers the INS64 line question.
    CliUi(int line, std::FILE* err) : m_line(line), m_err(err) {}

    // A question is answered Yes for line 1 and No for line 2; any other box prints its text.
    Answer ShowMessage(std::u16string_view text, std::u16string_view caption, MessageIcon icon,
                       MessageButtons buttons) override;
    bool CloseMessage(std::u16string_view) override { return false; }
    bool AskOpenFile(OpenFileRequest&) override { return false; }
    bool AskFolder(std::u16string_view, PathString&) override { return false; }
    bool AskColor(std::u16string_view, uint32_t&) override { return false; }

    // Prints a UTF-8 text and a line end on the error stream.
    void Print(std::string_view text) const;

private:
    int m_line;
    std::FILE* m_err;
};

}  // namespace tessary::cli
