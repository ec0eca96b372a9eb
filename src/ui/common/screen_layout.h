#pragma once

#include <functional>
#include <optional>

#include <QObject>
#include <QRect>
#include <QSize>

#include "core/window_scaling.h"

class QAction;
class QWidget;

namespace wexon::ui {

class MainWindow;
class Prompts;

// The screen a window is placed on: all of it, and the work area (the screen
// less the taskbar and panels), in pixels.
struct ScreenAreas {
    QRect screen;
    QRect work;
};
// The primary screen's areas; empty rectangles when there is no screen.
ScreenAreas primaryScreenAreas();

// How the scaling rules see a widget.
core::ControlKind controlKindOf(const QWidget& widget);

// Stretches a window by the given scale. Windows here are laid out by Qt
// layouts, so the stretch is applied where it means something: the window's
// size and place (kept on the work area), its fonts, the columns of its list
// views, and the geometry of controls that no layout places. Controls inside a
// layout are left for the layout to place.
void scaleWindow(QWidget& window, const core::WindowScale& scale, const ScreenAreas& areas);
// The usual stretch of a window designed for a 640 x 480 screen (its natural
// size, in pixels, taken as its design size) to the screen it is shown on.
void scaleWindowToScreen(QWidget& window, const ScreenAreas& areas);

// Puts a top-level window's outer frame (title bar and borders included) on a
// rectangle of the screen.
void placeWindowFrame(QWidget& window, const QRect& frame);
// Where the main window goes: a share of the screen from its top-left corner
// below 100 %, at 100 % the work area (taskbar mode 1) or the whole screen.
QRect mainWindowArea(int formSizePercent, int taskbarMode, const ScreenAreas& areas);

// Scales every secondary top-level window to the screen when it is first
// shown. Installed once on the application, so windows made later are covered.
// Windows that set their own size before showing (fixed-size windows, windows
// that fit themselves to the screen) keep it, as do the standard message,
// input and file dialogs and the main window. A window can also opt out by
// setting the property kKeepSizeProperty to true, or limit its stretch by
// setting kMaxStretchProperty to the largest factor it takes. Once the window
// manager has placed a scaled window, its outer frame is kept on the work area,
// and centred again when its layout changed its size after the scaling.
class SecondaryWindowScaler : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* kKeepSizeProperty = "wexonKeepsOwnSize";
    static constexpr const char* kMaxStretchProperty = "wexonMaxStretch";

    explicit SecondaryWindowScaler(std::function<ScreenAreas()> areas = primaryScreenAreas,
                                   QObject* parent = nullptr);
    // Makes one for the primary screen and installs it on the running
    // application, which owns it.
    static SecondaryWindowScaler* install();

    // Whether a window is one this scaler stretches on its first show.
    static bool wantsScaling(const QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Scales to the screen, but no further than the window's natural size
    // fits the work area.
    static void scaleToFit(QWidget& w, const ScreenAreas& areas);
    std::function<ScreenAreas()> m_areas;
};

// The main window's size: the "&Form Size" and "&Taskbar" menu items, and the
// size the window takes at start-up. Made once as a child of the main window,
// which asks it where to go whenever it places itself.
class ScreenLayout : public QObject {
    Q_OBJECT
  public:
    ScreenLayout(MainWindow& window, Prompts& prompts,
                 std::function<ScreenAreas()> areas = primaryScreenAreas);

    // At start-up, after the preferences are read: a form size below 100 %
    // shrinks the window, its fonts and its list columns; at 100 % the window
    // covers the work area or the whole screen. The taskbar check follows the
    // preferences.
    void applyStartupSize();
    // Puts the window where the form size and the taskbar mode say, without
    // touching fonts or columns (the window calls this when it is shown).
    void placeMainWindow();

    void formSizeClick();
    void taskbarClick();

  private:
    void applyFormSize(int percent);
    void applyFullScreen();

    MainWindow& m_window;
    Prompts& m_prompts;
    std::function<ScreenAreas()> m_areas;
    QAction* m_formSizeItem = nullptr;
    QAction* m_taskbarItem = nullptr;
    // The size the window last covered; at start-up its controls were sized
    // for the whole screen.
    std::optional<QSize> m_coveredSize;
};

} // namespace wexon::ui
