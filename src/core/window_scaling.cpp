#include "core/window_scaling.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/number_format.h"

namespace wexon::core {

namespace {

// Controls whose place and size follow the screen.
bool movesWithScreen(ControlKind kind) {
    switch (kind) {
    case ControlKind::ListBox:
    case ControlKind::CommandButton:
    case ControlKind::TextBox:
    case ControlKind::Label:
    case ControlKind::ComboBox:
    case ControlKind::ProgressBar:
    case ControlKind::Image:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::Frame:
    case ControlKind::ListView:
        return true;
    case ControlKind::Line:
    case ControlKind::Other:
        return false;
    }
    return false;
}

double ratio(double part, double whole) {
    return whole > 0 ? part / whole : 1.0;
}

} // namespace

WindowScale::WindowScale(double targetWidth, double targetHeight, double referenceWidth,
                         double referenceHeight, bool sizeToTarget, double fontFactor,
                         std::string fontName)
    : m_targetWidth(targetWidth), m_targetHeight(targetHeight), m_sizeToTarget(sizeToTarget),
      m_fontFactor(fontFactor), m_fontName(std::move(fontName)),
      m_rx(ratio(targetWidth, referenceWidth)), m_ry(ratio(targetHeight, referenceHeight)) {}

WindowScale WindowScale::toScreen(double screenWidthTwips, double screenHeightTwips) {
    return WindowScale(screenWidthTwips, screenHeightTwips, kReferenceWidthTwips,
                       kReferenceHeightTwips);
}

TwipRect WindowScale::window(const TwipRect& design) const {
    TwipRect r;
    r.width = m_sizeToTarget ? m_targetWidth : design.width * m_rx;
    r.height = m_sizeToTarget ? m_targetHeight : design.height * m_ry;
    r.left = (m_targetWidth - r.width) / 2;
    r.top = (m_targetHeight - r.height) / 2 - kCentreRaiseTwips;
    return r;
}

double WindowScale::windowFontSize(double size) const {
    return size * m_ry * m_fontFactor;
}

TwipRect WindowScale::control(ControlKind kind, const TwipRect& design) const {
    if (!movesWithScreen(kind)) {
        return design;
    }
    TwipRect r{design.left * m_rx, design.top * m_ry, design.width * m_rx, design.height * m_ry};
    if (kind == ControlKind::ComboBox) {
        r.height = design.height; // a combo box's height follows its font
    }
    return r;
}

bool WindowScale::controlFontScales(ControlKind kind) const {
    switch (kind) {
    case ControlKind::ListBox:
    case ControlKind::CommandButton:
    case ControlKind::TextBox:
    case ControlKind::Label:
    case ControlKind::ComboBox:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::Frame:
    case ControlKind::ListView:
        return true;
    default:
        return false;
    }
}

double WindowScale::controlFontSize(ControlKind kind, double size) const {
    return controlFontScales(kind) ? size * std::min(m_rx, m_ry) * m_fontFactor : size;
}

TwipLine WindowScale::line(const TwipLine& design) const {
    return {design.x1 * m_rx, design.y1 * m_ry, design.x2 * m_rx, design.y2 * m_ry};
}

double WindowScale::columnWidth(double width) const {
    return width * m_rx;
}

TwipRect keepInside(const TwipRect& rect, const TwipRect& area) {
    if (area.width <= 0 || area.height <= 0) {
        return rect;
    }
    TwipRect r = rect;
    r.width = std::min(r.width, area.width);
    r.height = std::min(r.height, area.height);
    r.left = std::clamp(r.left, area.left, area.left + area.width - r.width);
    r.top = std::clamp(r.top, area.top, area.top + area.height - r.height);
    return r;
}

std::optional<int> formSizeFromAnswer(std::string_view answer) {
    std::optional<double> value = parseNumber(answer);
    if (!value || std::isnan(*value)) {
        return std::nullopt;
    }
    const double clamped =
        std::clamp(*value, double(kMinFormSizePercent), double(kMaxFormSizePercent));
    return static_cast<int>(std::lround(clamped));
}

int usableFormSizePercent(int stored) {
    if (stored < kMinFormSizePercent || stored > kMaxFormSizePercent) {
        return kMaxFormSizePercent;
    }
    return stored;
}

bool FormSizeLayout::controlScales(ControlKind kind) const {
    return kind == ControlKind::ListView || kind == ControlKind::CommandButton ||
           kind == ControlKind::TextBox || kind == ControlKind::Label;
}

TwipRect FormSizeLayout::control(ControlKind kind, const TwipRect& design) const {
    if (!controlScales(kind)) {
        return design;
    }
    return {design.left * factor, design.top * factor, design.width * factor,
            design.height * factor};
}

TwipLine FormSizeLayout::line(const TwipLine& design) const {
    return {design.x1 * factor, design.y1 * factor, design.x2 * factor, design.y2 * factor};
}

FullScreenLayout::FullScreenLayout(double oldWidth, double oldHeight, double newWidth,
                                   double newHeight)
    : xFactor(ratio(newWidth, oldWidth)), yFactor(ratio(newHeight, oldHeight)) {}

TwipRect FullScreenLayout::control(const TwipRect& design) const {
    return {design.left * xFactor, design.top * yFactor, design.width * xFactor,
            design.height * yFactor};
}

TwipLine FullScreenLayout::line(const TwipLine& design) const {
    return {design.x1 * xFactor, design.y1 * yFactor, design.x2 * xFactor, design.y2 * yFactor};
}

TaskbarToggle toggleTaskbar(int formSizePercent, int taskbarMode) {
    if (formSizePercent != kMaxFormSizePercent) {
        return {false, taskbarMode};
    }
    return {true, taskbarMode == 1 ? 0 : 1};
}

} // namespace wexon::core
