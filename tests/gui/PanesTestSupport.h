#pragma once
// A pane frame inside a window that records the messages posted to it, over the display line
// table of a real conversion (a log built byte by byte, laid out by the main window's layout).
#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <memory>
#include <vector>

#include "decode/CTessaryCan.h"
#include "decode/SearchCondition.h"
#include "display/CPaneFrame.h"
#include "display/CPaneWnd.h"
#include "display/QtAppEvent.h"
#include "logfile/Status.h"
#include "mainwnd/RecordLayout.h"
#include "support/LaidOutLog.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary::test {

inline const std::vector<uint8_t> kPaneRrFrame = {0x02, 0x81, 0x01, 0x03};
inline const std::vector<uint8_t> kPaneSetupFrame = {0x00, 0x81, 0x00, 0x00, 0x08, 0x01,
                                                     0x01, 0x05, 0x04, 0x02, 0x88, 0x90};

// `count` records cycling through layer 1 (A), SETUP (C), RR (B) and SETUP (D).
inline LogBytes PaneLog(int count) {
    LogBytes log;
    for (int i = 0; i < count; ++i) {
        const auto time = static_cast<uint32_t>(10 * i);
        switch (i % 4) {
            case 0:
                log.Record('T', 9, time, {0x34});
                break;
            case 1:
                log.FrameWithFcs('T', time, kPaneSetupFrame);
                break;
            case 2:
                log.FrameWithFcs('R', time, kPaneRrFrame);
                break;
            default:
                log.FrameWithFcs('R', time, kPaneSetupFrame);
                break;
        }
    }
    return log;
}

struct PostedMessage {
    int message;
    intptr_t wParam;
    intptr_t lParam;
};

// The notify window: keeps every WM_APP+n message posted to it.
class MessageSink : public QWidget {
public:
    std::vector<PostedMessage> Take(int message) {
        QCoreApplication::sendPostedEvents(this);
        std::vector<PostedMessage> taken;
        for (const PostedMessage& posted : m_messages) {
            if (posted.message == message) {
                taken.push_back(posted);
            }
        }
        m_messages.clear();
        return taken;
    }
    void Clear() {
        QCoreApplication::sendPostedEvents(this);
        m_messages.clear();
    }

protected:
    bool event(QEvent* event) override {
        if (QtAppEvent::IsAppMessage(event)) {
            const auto* message = static_cast<const QtAppEvent*>(event);
            m_messages.push_back({message->Message(), message->WParam(), message->LParam()});
            return true;
        }
        return QWidget::event(event);
    }

private:
    std::vector<PostedMessage> m_messages;
};

class PaneHarness : public PaneFrameOwner {
public:
    PaneHarness() = default;
    ~PaneHarness() override {
        delete m_sink;  // and the frame with it
    }
    CTessaryCan* LoadedConverter() const override { return m_log.converter.get(); }

    // Creates the frame at `size` in a shown window, converts `log` into it and measures.
    bool Open(const LogBytes& log, QSize size = QSize(700, 400)) {
        m_sink = new MessageSink;
        m_sink->resize(size.width() + 20, size.height() + 20);
        m_sink->show();
        m_frame = new CPaneFrame(this, DisplaySource{&m_log.para, m_log.conditions});
        if (!m_frame->Create(QRect(QPoint(10, 10), size), m_sink)) {
            return false;
        }
        // Laid out into the frame's own table, not the model's.
        if (m_log.Open(log.WriteTo(m_dir.File("pane.dat"))) != 0 ||
            m_log.Pass(&LayoutRecord, &m_frame->Table()) != kStatusDone) {
            return false;
        }
        m_frame->SetPaneFont(nullptr, false);
        QCoreApplication::processEvents();
        m_sink->Clear();
        return true;
    }

    CPaneFrame& Frame() const { return *m_frame; }
    CPaneWnd& Pane(int position = 0) const { return *m_frame->Pane(position); }
    MessageSink& Sink() const { return *m_sink; }
    CanPara& Para() { return m_log.para; }
    SearchCondition* Conditions() { return m_log.conditions; }
    int Lh() const { return m_frame->LineHeight(); }
    int Cw() const { return m_frame->CharWidth(); }
    // The pane's visible height below the title row.
    int VisibleHeight() const { return static_cast<int>(m_frame->VerticalBar().Info().page); }
    int ScrollY(int position = 0) const { return Pane(position).ScrollPosition().y(); }
    // The first line of block `block` whose shown part holds a double-width character.
    const DisplayLine* LineWithWideCell(int block) const {
        for (int32_t n = 1; n < m_frame->LineCount(); ++n) {
            const DisplayLine* line = m_frame->Line(n);
            const BlockPart part = line->parts[block];
            for (int c = 0; c < part.count; ++c) {
                if ((line->Cells()[part.start + c] & kCellLeftHalf) != 0) {
                    return line;
                }
            }
        }
        return nullptr;
    }

    // The pane's viewport as drawn now.
    QImage Render(int position = 0) const {
        QWidget* view = Pane(position).viewport();
        QImage image(view->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        view->render(&image);
        return image;
    }

private:
    TempDir m_dir;
    LaidOutLog m_log;
    MessageSink* m_sink = nullptr;
    CPaneFrame* m_frame = nullptr;
};

// Whether any pixel of the rectangle differs from `back` (glyph ink).
inline bool HasInk(const QImage& image, const QRect& rect, QRgb back) {
    const QRect area = rect & image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != back) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace tessary::test
