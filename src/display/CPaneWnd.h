#pragma once
// One block pane of a pane frame: draws, for every display line, the part of the block it
// shows, on the character grid of the frame's font, in the line's colour class with highlight
// rules, selection and search hits; passes mouse and keys on as posted messages and scrolls.
// The pane owns no data: table, fonts and metrics belong to the frame, colours and rules to
// the frame's owner, the text to the converter.
#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
#include <vector>

#include "display/CScrollWnd.h"
#include "display/DisplayLine.h"

namespace tessary {

class CPaneFrame;

class CPaneWnd : public CScrollWnd {
public:
    CPaneWnd(CPaneFrame* frame, int position);

    // Created in the splitter (`parent`) at `rect` with the system window colour.
    bool CreatePane(const QRect& rect, QWidget* parent, int childId);

    CPaneFrame* Frame() const { return m_frame; }
    int Position() const { return m_position; }
    int ShownBlock() const { return m_shownBlock; }
    void SetShownBlock(int block) { m_shownBlock = block; }

    // The word under a client point (the context menu's copy item); empty when none.
    QString WordAt(int x, int y) const;
    // Visible lines: first, last, the visible document rectangle and the client rectangle;
    // returns their count, or -1 when either line does not exist.
    int VisibleLines(int* first, int* last, QRect* document, QRect* client) const;
    // The line's band in client coordinates; the visual row (>= 1) when visible, 0 when not,
    // -1 without a line.
    int LineRect(const DisplayLine* line, QRect* rect) const;
    // Display line number at client y (0 for the title row), not checked against the table.
    int32_t LineNumberAt(int y) const;
    // Column at client x.
    int ColumnAt(int x) const;

    void ScrollByCode(int hCode, int vCode, int32_t hAmount, int32_t vAmount) override;
    bool ScrollByDelta(int dx, int dy, const QRect* scrollRect, const QRect* clipRect,
                       bool updateNow) override;
    void SetScrollPosition(int which, int x, int y, bool redraw) override;
    int UpdateScrollBars(const QRect* area) override;
    bool SetBarRange(int bar, int32_t max, int32_t page, int32_t position, bool redraw) override;
    void PrepareDC(QPainter& painter) override;
    void Draw(QPainter& painter, const QRect& update) override;

    // The key rule (Page Up/Down, Home, End, arrows; the context-menu key); true when consumed.
    bool HandleKey(int key);
    // The pane's wheel rule for one notch (+1 towards the user).
    void Wheel(int direction);
    // Whether the pane's horizontal bar is shown.
    bool HorizontalBarShown() const { return OwnBar(kBarHorizontal).Shown(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Band {
        QColor text;
        QColor back;
        bool bold = false;
        bool valid = false;
    };
    // Colours and font of class k for a line (Colours of a band).
    Band BandOf(int colorClass, const DisplayLine* line) const;
    void FillBand(QPainter& painter, const QRect& rect, const Band& band, bool force) const;
    void DrawTitle(QPainter& painter, const QRect& update);
    // Writes the characters of cells [from, to) of `line`, cell `from` at x, each at its cell.
    void DrawCells(QPainter& painter, const DisplayLine& line, const char16_t* text, int from,
                   int to, int x, int baseline, const Band& band);
    void Post(int offset, int x, int y);
    int Cw() const;
    int Lh() const;
    int Margin() const;
    void PrepareFonts();

    CPaneFrame* m_frame;
    int m_position;
    int m_shownBlock;
    // Reused for every run: no allocation per line.
    std::vector<QChar> m_chars;
    std::vector<quint32> m_glyphs;
    std::vector<QPointF> m_positions;
    std::vector<quint32> m_fallbackGlyphs;
    std::vector<QPointF> m_fallbackPositions;
    QGlyphRun m_run;
    QFont m_fontKey;  // the frame font the raw fonts were made from
    QRawFont m_raw;
    QRawFont m_rawBold;
    QRawFont m_rawFallback;
    QRawFont m_rawFallbackBold;
    bool m_fakeBold = false;
    int m_ascent = 0;
};

}  // namespace tessary
