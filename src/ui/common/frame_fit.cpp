#include "ui/common/frame_fit.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "ui/common/screen_layout.h"

namespace wexon::ui {

FramePlacement* FramePlacement::install(QWidget& window, std::function<void()> place, Watch watch) {
    auto* watcher = new FramePlacement(window, std::move(place), watch);
    window.installEventFilter(watcher);
    if (window.isVisible()) {
        watcher->startSettling();
    }
    return watcher;
}

FramePlacement::FramePlacement(QWidget& window, std::function<void()> place, Watch watch)
    : QObject(&window), m_window(window), m_place(std::move(place)), m_watch(watch) {}

void FramePlacement::startSettling() {
    if (m_sinceShow.isValid()) {
        return; // only the first show is settled; later shows keep the operator's place
    }
    m_sinceShow.start();
    check();
    // Some window managers report the frame without moving the window; look
    // again a few times while it settles.
    for (int ms : {0, 100, 400, 1000, 2000}) {
        QTimer::singleShot(ms, this, [this] { check(); });
    }
}

void FramePlacement::check() {
    if (m_placing || !m_sinceShow.isValid() || m_sinceShow.elapsed() > kSettleMs ||
        !m_window.isVisible()) {
        return;
    }
    const QSize decorations = frameDecorations(m_window);
    if (decorations == m_decorations &&
        (m_watch == Watch::Decorations || m_window.size() == m_size)) {
        return;
    }
    m_placing = true;
    m_place();
    m_placing = false;
    m_decorations = frameDecorations(m_window);
    m_size = m_window.size();
}

bool FramePlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window) {
        switch (event->type()) {
        case QEvent::Show:
            QTimer::singleShot(0, this, [this] { startSettling(); });
            break;
        case QEvent::Move:
        case QEvent::Resize:
            check();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

QSize frameDecorations(const QWidget& window) {
    if (!window.isVisible()) {
        return QSize(0, 0);
    }
    return (window.frameGeometry().size() - window.geometry().size()).expandedTo(QSize(0, 0));
}

void keepFrameOnWorkArea(QWidget& window, const QRect& work, bool centre) {
    if (!work.isValid()) {
        return;
    }
    const QRect frame = window.frameGeometry();
    QRect target(frame.topLeft(), frame.size().boundedTo(work.size()));
    if (centre) {
        target.moveCenter(work.center());
    }
    if (target.right() > work.right()) {
        target.moveRight(work.right());
    }
    if (target.bottom() > work.bottom()) {
        target.moveBottom(work.bottom());
    }
    if (target.left() < work.left()) {
        target.moveLeft(work.left());
    }
    if (target.top() < work.top()) {
        target.moveTop(work.top());
    }
    if (target != frame) {
        placeWindowFrame(window, target);
    }
}

} // namespace wexon::ui
