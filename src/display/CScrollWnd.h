#pragma once
// A child window that scrolls a document measured in pixels with a scroll model of its own:
// document size, page and line steps per axis and the scroll position. Bar codes and wheel
// notches become pixel moves; every paint hands the painter to the subclass's Draw.
#include <QAbstractScrollArea>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>

#include "display/QtScrollBar.h"

namespace tessary {

// Background colour value: use the system window colour.
inline constexpr uint32_t kSystemWindowColor = 0x80000000;
// Bar style bits: the bar stays visible, disabled, when it is not needed.
inline constexpr uint32_t kKeepHorizontalBar = 0x01;
inline constexpr uint32_t kKeepVerticalBar = 0x02;
// SetScrollPosition's `which`.
inline constexpr int kScrollHorizontal = 0;
inline constexpr int kScrollVertical = 1;
inline constexpr int kScrollBoth = 3;
// A wheel notch.
inline constexpr int kWheelDelta = 120;

class CScrollWnd : public QAbstractScrollArea {
public:
    explicit CScrollWnd(QWidget* parent = nullptr);
    ~CScrollWnd() override;

    // Makes the window a visible child of `parent` at `rect`; colour kSystemWindowColor uses the
    // system window colour, otherwise a COLORREF (0x00BBGGRR).
    bool Create(const QRect& rect, QWidget* parent, int childId, uint32_t backgroundColor);
    // Page 0 is a tenth of the document, line 0 a tenth of the page; both at least 1.
    void SetScrollSizes(QSize documentSize, QPoint page, QPoint line);
    // Back to the constructed state (the window's destruction).
    void Destroy();

    virtual void ScrollByCode(int hCode, int vCode, int32_t hAmount, int32_t vAmount);
    virtual bool ScrollByDelta(int dx, int dy, const QRect* scrollRect, const QRect* clipRect,
                               bool updateNow);
    virtual void SetScrollPosition(int which, int x, int y, bool redraw);
    // Bit 0 / bit 1: the horizontal / vertical bar is needed. 1 when the position changed
    // (the window is then repainted), else 0, in the base.
    virtual int UpdateScrollBars(const QRect* area);
    virtual bool SetBarRange(int bar, int32_t max, int32_t page, int32_t position, bool redraw);
    virtual bool OnCreated() { return true; }
    virtual void PrepareDC(QPainter& painter);
    // `update` is in client coordinates.
    virtual void Draw(QPainter& painter, const QRect& update) = 0;

    QSize DocumentSize() const { return m_documentSize; }
    QPoint PageStep() const { return m_pageStep; }
    QPoint LineStep() const { return m_lineStep; }
    QPoint ScrollPosition() const { return m_scroll; }
    uint32_t BarStyle() const { return m_barStyle; }
    uint32_t ActiveBars() const { return m_activeBars; }
    uint32_t BackgroundColor() const { return m_backgroundColor; }
    int ChildId() const { return m_childId; }
    // The window's own bars (SB_HORZ, SB_VERT).
    QtScrollBar& OwnBar(int bar) { return m_bars[bar == kBarVertical ? 1 : 0]; }
    const QtScrollBar& OwnBar(int bar) const { return m_bars[bar == kBarVertical ? 1 : 0]; }
    // The bar rules of WM_HSCROLL / WM_VSCROLL.
    void OnHScroll(int code);
    void OnVScroll(int code);
    // The client area (the viewport).
    QRect ClientRect() const;

protected:
    // The wheel rule of the base window: half a page on a shown bar.
    void BaseWheel(int direction);
    // +1 towards the user (down/right), -1 away, 0 while the notch is not complete.
    int WheelDirection(QWheelEvent* event);
    void ApplyBarPolicies();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The base moves the contents itself.
    void scrollContentsBy(int, int) override {}

    QSize m_documentSize;
    QPoint m_pageStep;
    QPoint m_lineStep;
    QPoint m_scroll;
    uint32_t m_barStyle = 0;
    uint32_t m_activeBars = 0;

private:
    uint32_t m_backgroundColor = kSystemWindowColor;
    int m_childId = 0;
    int m_wheelRest = 0;
    QtScrollBar m_bars[2];
};

// COLORREF (0x00BBGGRR) to a colour and back.
QColor ColorOf(uint32_t colorRef);
uint32_t ColorRefOf(const QColor& color);

}  // namespace tessary
