#pragma once

#include <QElapsedTimer>

#include <vector>

class QObject;
class QWidget;

namespace ostrevan {

// What the logic writes to a window's status labels and result list, shown together at most
// once a display frame. A folder scan writes them tens of thousands of times a second while it
// holds the user-interface thread; turning every write into widget text, a layout request and
// a model signal would cost more than the scan itself, and the screen shows one frame in
// 16 ms. Pending writes are shown when the event loop runs next (a message box during a
// scan) and at showNow(), which the window calls when its handler ends; those of the status
// labels also when one of them is refreshed and a frame has passed. While the logic holds the
// thread only the status labels are repainted: the list's rows appear when it lets go.
class DeferredDisplay final {
public:
    // A control whose writes wait to be shown.
    class Part {
    public:
        virtual void showPending() = 0;

    protected:
        Part() = default;
        ~Part() = default;
        Part(const Part&) = delete;
        Part& operator=(const Part&) = delete;
    };

    // The event loop's call is delivered to context (the window), and dropped with it.
    explicit DeferredDisplay(QObject& context) : m_context(context) {}
    DeferredDisplay(const DeferredDisplay&) = delete;
    DeferredDisplay& operator=(const DeferredDisplay&) = delete;

    // The parts must stay where they are for as long as this display lives.
    void addShownAtRefresh(Part& part) { m_shownAtRefresh.push_back(&part); }
    void addShownWhenIdle(Part& part) { m_shownWhenIdle.push_back(&part); }
    // A part has writes pending.
    void changed();
    void showNow();
    // Shows the pending writes of the parts shown at refresh and repaints the window around
    // widget now, at most once a display frame.
    void refresh(QWidget& widget);

private:
    static void show(const std::vector<Part*>& parts);

    QObject& m_context;
    std::vector<Part*> m_shownAtRefresh;
    std::vector<Part*> m_shownWhenIdle;
    bool m_posted = false;
    QElapsedTimer m_sinceRepaint;
};

} // namespace ostrevan
