#pragma once
// The clipboard of the windows: one Unicode text.
#include "mainwnd/CopyText.h"

namespace tessary {

class QtClipboard : public ClipboardService {
public:
    int SetText(std::u16string_view text) override;
};

}  // namespace tessary
