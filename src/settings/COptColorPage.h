#pragma once
// The colour page (template 142): the colour items with their text and background colours,
// the keep choices of the highlight, selection and search items, and a sample drawn in the
// selected item's colours over the chosen base item's.
#include "settings/CTabPage.h"
#include "settings/OptionModel.h"

class QListWidget;

namespace tessary {

class COptColorPage : public CTabPage {
    Q_OBJECT

public:
    using CTabPage::CTabPage;

    bool Create() override;
    // The current colours into the items; the first item selected.
    bool Load() override;
    void Store();

    const ColorOptions& Colors() const { return m_colors; }
    int Selected() const;

private:
    QListWidget* List() const;
    void UpdateControls();
    void UpdateSample();
    // The selected item, or -1 after telling the user that none is.
    int RequireSelected();
    void OnChoose(bool text);
    void OnTakeNormal(bool text);
    void OnDefaults();
    void OnKeep(bool text);
    void OnBase(int colorClass);

    ColorOptions m_colors;
};

}  // namespace tessary
