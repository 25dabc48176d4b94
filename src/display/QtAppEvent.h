#pragma once
// Window messages WM_APP+n between the windows of this program: custom event types with the
// same numbers, carrying the two message parameters. A posted message goes through
// QCoreApplication::postEvent; a sent one is a direct call on the user-interface thread.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <cstdint>

#include "logfile/Status.h"  // kWmApp

namespace tessary {

class QtAppEvent : public QEvent {
public:
    QtAppEvent(int message, intptr_t wParam, intptr_t lParam)
        : QEvent(TypeOf(message)), m_wParam(wParam), m_lParam(lParam) {}

    static constexpr QEvent::Type TypeOf(int message) { return static_cast<QEvent::Type>(message); }
    // True when `event` is one of these messages (WM_APP+0 ... WM_APP+0x3FFF).
    static bool IsAppMessage(const QEvent* event) {
        const int type = event != nullptr ? static_cast<int>(event->type()) : 0;
        return type >= static_cast<int>(kWmApp) && type < static_cast<int>(kWmApp) + 0x4000;
    }

    int Message() const { return static_cast<int>(type()); }
    intptr_t WParam() const { return m_wParam; }
    intptr_t LParam() const { return m_lParam; }

private:
    intptr_t m_wParam;
    intptr_t m_lParam;
};

// Posts WM_APP+n style message `message` to `target`; nothing without a target.
inline void PostAppMessage(QObject* target, int message, intptr_t wParam, intptr_t lParam) {
    if (target != nullptr) {
        QCoreApplication::postEvent(target, new QtAppEvent(message, wParam, lParam));
    }
}

// A client point packed as the mouse messages pack it: x in the low 16 bits, y in the high.
inline intptr_t PackPoint(int x, int y) {
    return static_cast<intptr_t>(static_cast<uint32_t>(static_cast<uint16_t>(x)) |
                                 static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
}
// The signed coordinates of a packed point.
inline int PointX(intptr_t packed) {
    return static_cast<int16_t>(static_cast<uint16_t>(packed & 0xFFFF));
}
inline int PointY(intptr_t packed) {
    return static_cast<int16_t>(static_cast<uint16_t>((packed >> 16) & 0xFFFF));
}

}  // namespace tessary
