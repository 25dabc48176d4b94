#pragma once
// The static splitter of a pane frame: one row of four columns, a sunken 2-pixel border and
// 7-pixel bars between the columns.
#include <QSplitter>

namespace tessary {

inline constexpr int kSplitterColumns = 4;
inline constexpr int kSplitterEdge = 2;      // SM_CXEDGE / SM_CYEDGE
inline constexpr int kSplitterBarWidth = 7;  // bar between two columns
inline constexpr int kPaneFirstId = 0xE900;  // AFX_IDW_PANE_FIRST

class CPaneSplitter : public QSplitter {
public:
    explicit CPaneSplitter(QWidget* parent = nullptr);

    // True once the splitter holds its one row of four columns.
    virtual bool IsReady() const;
    virtual int BarWidth() const { return handleWidth(); }
    int EdgeWidth() const { return frameWidth(); }
    // The id of the pane in row 0, `column`.
    static int PaneId(int row, int column) { return kPaneFirstId + row * 16 + column; }
    // Column widths; the splitter lays the columns out again.
    void SetColumnWidths(int width);
};

}  // namespace tessary
