#pragma once
// One scroll bar with the Windows scroll-info model (minimum, inclusive maximum, page,
// position, 32-bit track position) over a QScrollBar. The user's actions on the bar come back
// as scroll-bar codes; wheel turns over the bar go to a handler of the owner.
#include <QObject>
#include <QScrollBar>
#include <cstdint>
#include <functional>

namespace tessary {

// Scroll-bar codes (SB_LINEUP ... SB_ENDSCROLL).
enum ScrollCode : int {
    kSbLineUp = 0,  // also SB_LINELEFT
    kSbLineDown = 1,
    kSbPageUp = 2,
    kSbPageDown = 3,
    kSbThumbPosition = 4,
    kSbThumbTrack = 5,
    kSbTop = 6,
    kSbBottom = 7,
    kSbEndScroll = 8,
    kSbNone = -1,
};
inline constexpr int kSbLineLeft = kSbLineUp;
inline constexpr int kSbLineRight = kSbLineDown;
inline constexpr int kSbPageLeft = kSbPageUp;
inline constexpr int kSbPageRight = kSbPageDown;

// Bars: SB_HORZ, SB_VERT.
inline constexpr int kBarHorizontal = 0;
inline constexpr int kBarVertical = 1;

// SCROLLINFO mask bits.
inline constexpr unsigned kSifRange = 0x01;
inline constexpr unsigned kSifPage = 0x02;
inline constexpr unsigned kSifPos = 0x04;
inline constexpr unsigned kSifTrackPos = 0x10;
inline constexpr unsigned kSifAll = kSifRange | kSifPage | kSifPos | kSifTrackPos;

struct ScrollInfo {
    unsigned mask = 0;
    int32_t min = 0;
    int32_t max = 0;
    uint32_t page = 0;
    int32_t pos = 0;
    int32_t trackPos = 0;
};

class QtScrollBar : public QObject {
public:
    using CodeHandler = std::function<void(int code)>;
    using WheelHandler = std::function<void(QWheelEvent* event)>;

    QtScrollBar() = default;
    // Takes over `bar` (not owned) of window `owner`: its actions become codes for `onCode`.
    void Attach(QScrollBar* bar, QWidget* owner, CodeHandler onCode, WheelHandler onWheel = {});
    QScrollBar* Bar() const { return m_bar; }
    // Qt::ScrollBarAlwaysOn, AsNeeded or AlwaysOff, as the owner shows the bar.
    void SetPolicy(Qt::ScrollBarPolicy policy) { m_policy = policy; }

    // Fields named by `info.mask`; the page is kept within the range and the position within
    // min ... max - page + 1, as the system does.
    void SetInfo(const ScrollInfo& info, bool redraw);
    ScrollInfo Info() const;
    // Returns the previous position.
    int32_t SetPos(int32_t pos, bool redraw);
    int32_t Pos() const { return m_info.pos; }
    // ESB_ENABLE_BOTH / ESB_DISABLE_BOTH.
    void Enable(bool enable);
    // Visible, on screen and enabled (from the model: Qt shows bars only later).
    bool Shown() const;

    // Test seams: what a drag of the thumb to `trackPos` and its release send.
    void Track(int32_t trackPos);
    void Release();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void OnAction(int action);
    void Sync();
    int32_t QtMaximum() const;

    QScrollBar* m_bar = nullptr;
    QWidget* m_owner = nullptr;
    Qt::ScrollBarPolicy m_policy = Qt::ScrollBarAsNeeded;
    CodeHandler m_onCode;
    WheelHandler m_onWheel;
    ScrollInfo m_info;
    bool m_tracking = false;
    bool m_syncing = false;
};

}  // namespace tessary
