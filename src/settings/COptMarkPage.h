#pragma once
// The highlight page (template 141): four rows of mark characters, search text (with the main
// window's search history to choose from) and block letters.
#include <array>
#include <vector>

#include "settings/CTabPage.h"

class QComboBox;

namespace tessary {

class COptMarkPage : public CTabPage {
    Q_OBJECT

public:
    using CTabPage::CTabPage;

    // The controls, disabled until loaded; each search box lists the search history.
    bool Create() override;
    bool Load() override;
    // Stores the four rows as rules with `markWidth`; the rules that did not compile.
    std::vector<int> Store(int markWidth);

    QComboBox* SearchBox(int rule) const;

private:
    void OnChosen(QComboBox* box, int index);
    QString Text(int id) const;
};

}  // namespace tessary
