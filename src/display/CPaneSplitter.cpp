#include "display/CPaneSplitter.h"

#include <QList>

namespace tessary {

CPaneSplitter::CPaneSplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kSplitterEdge);
    setHandleWidth(kSplitterBarWidth);
    setOpaqueResize(true);
}

bool CPaneSplitter::IsReady() const {
    return parentWidget() != nullptr && orientation() == Qt::Horizontal;
}

void CPaneSplitter::SetColumnWidths(int width) {
    QList<int> sizes;
    for (int i = 0; i < count(); ++i) {
        sizes.append(std::max(width, 0));
    }
    setSizes(sizes);
}

}  // namespace tessary
