#pragma once
// The pane frame: a child window holding a 1 x 4 splitter with one block pane per column, the
// pane fonts and their metrics, the one vertical scroll bar that the four panes share, and the
// display line table of the laid-out lines. Owners (the main window, an aggregation window)
// append lines while a pass runs and then select, show, repaint and measure lines through it.
#include <QFont>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <cstdint>

#include "decode/CTessaryCan.h"
#include "display/DisplayLineTable.h"
#include "display/DisplaySource.h"
#include "display/QtAppEvent.h"
#include "display/QtScrollBar.h"

namespace tessary {

class CPaneSplitter;
class CPaneWnd;

inline constexpr int kPaneCount = 4;
// Messages the frame and its panes post to the notify window.
inline constexpr int kMsgSelectionChanged = 0x8003;  // WM_APP+3: new selection line or -1
inline constexpr int kMsgScrolled = 0x8004;          // WM_APP+4: first visible line or -1
inline constexpr int kMsgPaneMouseMove = 0x8005;     // WM_APP+5: packed point / the pane
inline constexpr int kMsgPaneLeftDown = 0x8006;      // WM_APP+6
inline constexpr int kMsgPaneRightDown = 0x8009;     // WM_APP+9, also the context-menu key
inline constexpr int kPaneBaseMessage = kMsgPaneMouseMove;
// Default pane font: 10.0 points of "ＭＳ ゴシック" with the fallbacks of this platform.
inline constexpr int kPaneFontTenths = 100;

// The pane font families, best first.
QStringList PaneFontFamilies();
// A pane font of `tenths` tenths of a point, with the fallbacks.
QFont MakePaneFont(int tenths);

// What a frame reads from the window that owns it.
class PaneFrameOwner {
public:
    virtual ~PaneFrameOwner() = default;
    // The loaded converter; nullptr while none is loaded (the panes then draw nothing).
    virtual CTessaryCan* LoadedConverter() const = 0;
};

class CPaneFrame : public QWidget {
    Q_OBJECT

public:
    // `source` points at the owner's CanPara (colour table, RowSlot bit) and its five rule
    // slots (highlight rules #0-#3, search condition in slot 4).
    explicit CPaneFrame(PaneFrameOwner* owner = nullptr, const DisplaySource& source = {});
    ~CPaneFrame() override;

    void SetOwner(PaneFrameOwner* owner) { m_owner = owner; }
    PaneFrameOwner* Owner() const { return m_owner; }
    void SetSource(const DisplaySource& source) { m_table.SetSource(source); }
    const DisplaySource& Source() const { return m_table.Source(); }
    // The converter the panes draw from: the owner's loaded one (nullptr without owner).
    CTessaryCan* LoadedConverter() const;

    // Creates the frame as a visible child of `parent` at `rect` (parent coordinates) with its
    // fonts, splitter and four panes; `parent` becomes the notify window.
    virtual bool Create(const QRect& rect, QWidget* parent);
    // With a font: it replaces the pane font (and the bold one). Without: the present font is
    // measured again. Then the metrics, every pane's scroll sizes (positions back to 0), the
    // selection is cleared (WM_APP+3 with -1) and the frame repainted.
    virtual bool SetPaneFont(const QFont* font, bool takeFocus);
    // Equal column widths: w = (client width - 2 edges - 3 bars) / 4, h = client height - 2
    // edges, returned in `size`; applied to the splitter when `apply`.
    virtual bool LayoutColumns(QSize* size, bool apply);
    // Scrolls every pane; true when any moved.
    virtual bool ScrollAll(int dx, int dy, bool updateNow);

    // --- the display line table (the layout on the worker appends, see DisplayLineTable)
    DisplayLineTable& Table() { return m_table; }
    const DisplayLineTable& Table() const { return m_table; }
    int32_t AddLines(CTessaryCan* converter, char16_t* text, size_t length, int block,
                     int colorClass) {
        return m_table.AddLines(converter, text, length, block, colorClass);
    }
    void FreeText();
    // Only while the frame has no table and no buffer.
    bool PresetCapacities(uint32_t tableEntries, uint64_t bufferBytes) {
        return m_table.PresetCapacities(tableEntries, bufferBytes);
    }

    // --- selection and display
    // Selects the record of `line` (its first line becomes the selection line); posts
    // WM_APP+3. Returns the previous selection line number (0 for none), -1 for the title row.
    int32_t SelectLine(const DisplayLine* line);
    // Brings the line (or its group's first line) fully into view under the title row when it
    // is not, selects it or repaints its group, and optionally gives the pane the focus.
    bool ShowLine(const DisplayLine* line, bool groupStart, bool select, bool takeFocus);
    // Repaints the line's group in all panes (line 0: the title rows; nullptr: all lines);
    // returns the first visible line number of the group, or -1.
    int32_t InvalidateGroup(const DisplayLine* line);
    // Hides the four panes (while a pass writes the table); answers whether any was visible.
    bool HidePanes();
    void ShowPanes();
    // Exchanges the shown blocks of two panes; both nullptr: pane p shows block p again.
    bool SwapBlocks(CPaneWnd* a, CPaneWnd* b);
    int MarkIndex(const DisplayLine* line) const { return m_table.MarkIndex(line); }
    int MarkSearchHits(const MessageRecord* record, DisplayLine* line, bool apply) const {
        return m_table.MarkSearchHits(record, line, apply);
    }
    // The first (from the top) or last (from the bottom) visible message record, with the
    // offset of its line in its group (-1 when none).
    MessageRecord* TopRecord(int* offsetInGroup, bool first) const;
    DisplayLine* FirstLastLine(bool first, MessageRecord** record) const {
        return m_table.FirstLastLine(first, record);
    }
    int ReplaceLineText(CTessaryCan* converter, DisplayLine* line, const char16_t* text,
                        size_t length) {
        return m_table.ReplaceLineText(converter, line, text, length);
    }

    // --- readers
    int32_t LineCount() const { return m_table.LineCount(); }
    DisplayLine* Line(int32_t n) const { return m_table.Line(n); }
    DisplayLine* SelectionLine() const { return m_table.SelectionLine(); }
    uint32_t TableCapacity() const { return m_table.TableCapacity(); }
    uint64_t BufferCapacity() const { return m_table.BufferCapacity(); }
    int CharWidth() const { return m_charWidth; }
    int LineHeight() const { return m_lineHeight; }
    int Margin() const { return m_charWidth * 5 / 10; }
    const QFont& PaneFont() const { return m_paneFont; }
    const QFont& BoldPaneFont() const { return m_boldFont; }
    CPaneWnd* Pane(int position) const;
    // The first pane whose client area is not empty, scanning 0-3 or only `position`.
    CPaneWnd* VisiblePane(int position = -1) const;
    // The pane showing `block` (0-3), or nullptr.
    CPaneWnd* PaneShowing(int block) const;
    CPaneSplitter* Splitter() const { return m_splitter; }
    QObject* NotifyWindow() const { return m_notify; }
    int BaseMessage() const { return m_baseMessage; }
    // Display line number at a pane's client y: 0 for the title row, or -1 beyond the table.
    int32_t LineAtY(int y) const;

    // The shared vertical bar (maximum = document height, page = visible height).
    QtScrollBar& VerticalBar() { return m_vbar; }
    const QtScrollBar& VerticalBar() const { return m_vbar; }
    // The frame's vertical-scroll rule (bar codes, keys of the panes): every pane scrolls.
    void OnVScroll(int code);

    // Posts one of the frame's messages to the notify window.
    void Notify(int message, intptr_t wParam, intptr_t lParam) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Maximising or restoring the top-level window spreads the blocks evenly.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    bool OnCreateClient();
    void LayoutChildren();
    void MeasureFont();

    PaneFrameOwner* m_owner;
    QObject* m_notify = nullptr;
    int m_baseMessage = kPaneBaseMessage;
    QFont m_paneFont;
    QFont m_boldFont;
    int m_charWidth = 0;
    int m_lineHeight = 0;
    CPaneSplitter* m_splitter = nullptr;
    CPaneWnd* m_panes[kPaneCount] = {};
    QScrollBar* m_vbarWidget = nullptr;
    QtScrollBar m_vbar;
    DisplayLineTable m_table;
};

}  // namespace tessary
