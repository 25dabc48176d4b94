#pragma once
// The block page (template 143): block titles, the layer-3 wrap width, the text-output indents
// of the blocks, the one-row titles choice and the line-head margin.
#include "settings/CTabPage.h"
#include "settings/OptionModel.h"

namespace tessary {

class COptBlockPage : public CTabPage {
    Q_OBJECT

public:
    using CTabPage::CTabPage;

    bool Create() override;
    bool Load() override;
    // The values as typed.
    BlockValues Values() const;
    // kOptionWrapChanged when the wrap width changed, else 0.
    int Store();
};

}  // namespace tessary
