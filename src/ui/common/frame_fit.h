#pragma once

#include <functional>

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

namespace wexon::ui {

// Puts a top-level window's outer frame back where it belongs once the window
// manager has placed it. A window's frame (title bar and borders) is known only
// some time after its first show, when the window manager has wrapped it, and a
// window whose layout grows it on the screen changes size after being placed;
// a window fitted before either would have its title bar off the screen or sit
// off centre. So after the first show, for a while, `place` is called again
// whenever the frame's decorations change, and with Watch::SizeToo whenever
// the window's size changes as well. The watcher is a child of the window.
class FramePlacement : public QObject {
    Q_OBJECT
  public:
    // How long after the first show the window is watched.
    static constexpr int kSettleMs = 3000;
    // A window the operator may resize at once (the main window) is watched
    // for its decorations only, so that a resize is never undone.
    enum class Watch { Decorations, SizeToo };

    static FramePlacement* install(QWidget& window, std::function<void()> place,
                                   Watch watch = Watch::Decorations);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    FramePlacement(QWidget& window, std::function<void()> place, Watch watch);
    void startSettling();
    void check();

    QWidget& m_window;
    std::function<void()> m_place;
    Watch m_watch;
    QElapsedTimer m_sinceShow;
    QSize m_decorations{-1, -1};
    QSize m_size;
    bool m_placing = false;
};

// The frame's decorations of a shown top-level window (title bar and borders
// around its inside); none before the window manager has wrapped it.
QSize frameDecorations(const QWidget& window);

// Puts a window's outer frame on the work area: shrunk to fit it if it must,
// centred on it when `centre`, otherwise only moved as far as it takes to be
// inside.
void keepFrameOnWorkArea(QWidget& window, const QRect& work, bool centre);

} // namespace wexon::ui
