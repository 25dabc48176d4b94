#pragma once
// The pane order that the block definitions' position fields describe.
#include "decode/CanPara.h"

namespace tessary {

// When a position is outside 0-3 or two are equal, rewrites the four positions as 0-3 and
// answers true.
bool CheckBlockDefOrder(CanPara& para);

// Block shown at pane position p: the block whose definition holds position p when all four
// positions are valid, else block p.
void PaneBlocksOf(const CanPara& para, int (&paneBlocks)[kBlockCount]);

// Writes the pane order back into the definitions: the text after the last ';' of the
// definition of the block shown at position p becomes p (";;" and p are appended to a
// definition without ';').
void WritePaneOrder(CanPara& para, const int (&paneBlocks)[kBlockCount]);

}  // namespace tessary
