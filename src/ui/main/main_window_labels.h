#pragma once

#include <QLabel>
#include <QString>
#include <QVariant>

namespace wexon::ui {

// Value labels (the continent, the next serial, the score, the clocks, the
// message line) are read by a screen reader through their accessible name. The
// name carries the caption beside the label and the value it shows, so that
// both are heard: "Total Score: 69,104".

inline constexpr const char* kCaptionProperty = "wexonCaption";

inline void setLabelCaption(QLabel* label, const QString& caption) {
    label->setProperty(kCaptionProperty, caption);
    const QString value = label->text().trimmed();
    label->setAccessibleName(value.isEmpty() ? caption : caption + ": " + value);
}

inline void setLabelValue(QLabel* label, const QString& text) {
    label->setText(text);
    const QString caption = label->property(kCaptionProperty).toString();
    if (caption.isEmpty()) {
        return; // a caption label: its text is its name
    }
    const QString value = text.trimmed();
    label->setAccessibleName(value.isEmpty() ? caption : caption + ": " + value);
}

inline void clearLabelValue(QLabel* label) {
    setLabelValue(label, QString());
}

} // namespace wexon::ui
