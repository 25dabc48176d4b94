#include "settings/BlockOrder.h"

#include <string>

#include "platform/Trace.h"

namespace tessary {
namespace {

bool PositionsValid(const CanPara& para) {
    bool seen[kBlockCount] = {};
    for (int i = 0; i < kBlockCount; ++i) {
        const int position = BlockPosition(para, i);
        if (position < 0 || seen[position]) {
            return false;
        }
        seen[position] = true;
    }
    return true;
}

}  // namespace

bool CheckBlockDefOrder(CanPara& para) {
    if (PositionsValid(para)) {
        return false;
    }
    Trace("MainDlg::CheckBlockDefOrder() : block positions reset to 0-3\n");
    for (int i = 0; i < kBlockCount; ++i) {
        const std::u16string definition(SlotText(para.BlockDef[i]));
        const BlockDefParts parts = ParseBlockDef(definition);
        FormatBlockDef(para.BlockDef[i], parts.indent, parts.title, i);
    }
    return true;
}

void PaneBlocksOf(const CanPara& para, int (&paneBlocks)[kBlockCount]) {
    for (int p = 0; p < kBlockCount; ++p) {
        paneBlocks[p] = p;
    }
    if (!PositionsValid(para)) {
        return;
    }
    for (int i = 0; i < kBlockCount; ++i) {
        paneBlocks[BlockPosition(para, i)] = i;
    }
}

void WritePaneOrder(CanPara& para, const int (&paneBlocks)[kBlockCount]) {
    for (int p = 0; p < kBlockCount; ++p) {
        const int block = paneBlocks[p];
        if (block < 0 || block >= kBlockCount) {
            continue;
        }
        std::u16string text(SlotText(para.BlockDef[block]));
        const size_t semicolon = text.rfind(u';');
        if (semicolon == std::u16string::npos) {
            text += u";;";
        } else {
            text.erase(semicolon + 1);
        }
        text += static_cast<char16_t>(u'0' + p);
        CopyToSlot(para.BlockDef[block], text);
    }
}

}  // namespace tessary
