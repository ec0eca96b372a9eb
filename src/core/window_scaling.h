#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wexon::core {

// Window geometry is designed in twips for a reference screen of 9600 x 7200
// twips (640 x 480 pixels) and stretched to the real screen when a window
// loads. These are the rules of that stretching, free of any window system:
// the window code measures its widgets, asks here, and applies the answers.

inline constexpr double kTwipsPerPixel = 15.0;
inline constexpr double kReferenceWidthTwips = 9600.0;
inline constexpr double kReferenceHeightTwips = 7200.0;
// A scaled window sits this far above the centre of the screen.
inline constexpr double kCentreRaiseTwips = 170.0;

inline constexpr double pixelsToTwips(double pixels) {
    return pixels * kTwipsPerPixel;
}
inline constexpr double twipsToPixels(double twips) {
    return twips / kTwipsPerPixel;
}

struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const TwipRect&) const = default;
};

struct TwipLine {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    bool operator==(const TwipLine&) const = default;
};

// The kinds of control the scaling rules tell apart.
enum class ControlKind {
    ListBox,
    CommandButton,
    TextBox,
    Label,
    ComboBox,
    ProgressBar,
    Image,
    CheckBox,
    OptionButton,
    Frame,
    ListView,
    Line,
    Other, // anything else keeps its geometry and font
};

// Stretching a window from a reference area to a target area. With rx = target
// width / reference width and ry = target height / reference height, the window
// grows by (rx, ry) and is centred on the target (raised a little), its own
// font grows by ry x the font factor and its controls' fonts by min(rx, ry) x
// the font factor. `sizeToTarget` makes the window exactly the target size.
class WindowScale {
  public:
    WindowScale(double targetWidth, double targetHeight, double referenceWidth,
                double referenceHeight, bool sizeToTarget = false, double fontFactor = 1.0,
                std::string fontName = {});

    // The usual form: a window designed for the reference screen, stretched to
    // a screen of the given size (twips).
    static WindowScale toScreen(double screenWidthTwips, double screenHeightTwips);

    double rx() const { return m_rx; }
    double ry() const { return m_ry; }
    // A font name to put on the window and its controls; empty keeps theirs.
    const std::string& fontName() const { return m_fontName; }

    TwipRect window(const TwipRect& design) const;
    double windowFontSize(double size) const;
    // A control's rectangle; controls the rules do not move keep theirs, and
    // combo boxes keep their height.
    TwipRect control(ControlKind kind, const TwipRect& design) const;
    bool controlFontScales(ControlKind kind) const;
    double controlFontSize(ControlKind kind, double size) const;
    TwipLine line(const TwipLine& design) const;
    // A column of a list view.
    double columnWidth(double width) const;

  private:
    double m_targetWidth;
    double m_targetHeight;
    bool m_sizeToTarget;
    double m_fontFactor;
    std::string m_fontName;
    double m_rx;
    double m_ry;
};

// Moves and, where it must, shrinks a rectangle so that it lies inside an area
// (a window larger than the screen, or raised above its top edge, could not be
// reached by the mouse or read).
TwipRect keepInside(const TwipRect& rect, const TwipRect& area);

// --- the main window's size ---

inline constexpr int kMinFormSizePercent = 30;
inline constexpr int kMaxFormSizePercent = 100;

// The percentage a "Form Size" answer stands for: numeric answers are rounded
// to a whole number and clamped to 30-100; anything else (an empty answer too)
// is nothing.
std::optional<int> formSizeFromAnswer(std::string_view answer);
// The stored percentage as start-up uses it: a value outside 30-100 (a damaged
// preferences file) counts as the default 100.
int usableFormSizePercent(int stored);

// The main window covering a share of the screen: it sits at the screen's
// top-left corner and its fonts and controls shrink by the same share.
struct FormSizeLayout {
    explicit FormSizeLayout(int percent) : factor(percent / 100.0) {}
    double factor;

    TwipRect window(double screenWidth, double screenHeight) const {
        return {0, 0, screenWidth * factor, screenHeight * factor};
    }
    // List views, command buttons, text boxes and labels shrink; others stay.
    bool controlScales(ControlKind kind) const;
    TwipRect control(ControlKind kind, const TwipRect& design) const;
    double fontSize(double size) const { return size * factor; }
    TwipLine line(const TwipLine& design) const;
    double columnWidth(double width) const { return width * factor; }
};

// The main window stretched from its size (W0, H0) to a new size (W1, H1): the
// whole screen or the work area. Every control follows the stretch.
struct FullScreenLayout {
    FullScreenLayout(double oldWidth, double oldHeight, double newWidth, double newHeight);
    double xFactor;
    double yFactor;

    TwipRect control(const TwipRect& design) const;
    TwipLine line(const TwipLine& design) const;
    double columnWidth(double width) const { return width * xFactor; }
};

// Taskbar mode 1 keeps the taskbar visible: the window covers the work area.
inline bool coversWorkArea(int taskbarMode) {
    return taskbarMode == 1;
}

// The "Taskbar" menu item: it only toggles at a form size of 100 %.
struct TaskbarToggle {
    bool allowed = false;
    int newMode = 0;
};
TaskbarToggle toggleTaskbar(int formSizePercent, int taskbarMode);

// The program's words for the two menu items.
inline constexpr const char* kFormSizePrompt =
    "Enter the % of the screen you would like the form to cover.  Try between 90 and 100 for "
    "best results.  Values below 75 do not display well.";
inline constexpr const char* kFormSizeTitle = "Please enter screen percentage.";
inline constexpr const char* kRestartText =
    "This program must be closed and restarted for this setting to take effect.";
inline constexpr const char* kRestartTitle =
    "For this setting to take effect please restart this program.";
inline constexpr const char* kNumericOnlyText = "Please enter only numeric values.";
inline constexpr const char* kNumericOnlyTitle = "Numeric Values Required";
inline constexpr const char* kTaskbarNeedsFullText =
    "The form size must be set to 100% to use the taskbar display option.";
inline constexpr const char* kTaskbarNeedsFullTitle =
    "Please set your form size to 100% to use this option.";

} // namespace wexon::core
