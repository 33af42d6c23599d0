#include "platform/qt/DeferredDisplay.h"

#include <QMetaObject>
#include <QWidget>

namespace ostrevan {

void DeferredDisplay::changed() {
    // One call waits in the event loop at a time; it shows whatever is pending when it runs.
    if (m_posted) {
        return;
    }
    m_posted = true;
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            m_posted = false;
            showNow();
        },
        Qt::QueuedConnection);
}

void DeferredDisplay::showNow() {
    show(m_shownAtRefresh);
    show(m_shownWhenIdle);
}

void DeferredDisplay::show(const std::vector<Part*>& parts) {
    for (Part* part : parts) {
        part->showPending();
    }
}

void DeferredDisplay::refresh(QWidget& widget) {
    constexpr qint64 frameMilliseconds = 16;
    if (m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < frameMilliseconds) {
        return;
    }
    show(m_shownAtRefresh);
    // Paints every part of the window that changed, not only this widget.
    widget.repaint();
    m_sinceRepaint.start();
}

} // namespace ostrevan
