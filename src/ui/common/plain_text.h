#pragma once

#include <QLabel>
#include <QString>
#include <QTextDocument>

namespace wexon::ui {

// Text that comes from outside the program (spots, cluster lines, link values,
// rig replies, file contents) is shown as the characters it holds, never as
// markup: a spot comment such as "<img width=40000 ...>" taken as rich text
// would make a label allocate an image of that size, or open a local file.

// A label that shows its text as it is.
inline void showPlainText(QLabel* label) {
    label->setTextFormat(Qt::PlainText);
}

// A new label that shows its text as it is.
inline QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    showPlainText(label);
    return label;
}

// Qt takes a tool tip for rich text when it looks like markup, and a tool tip
// has no text format of its own; such text is escaped into a paragraph so that
// it is shown literally. Text that does not look like markup is left alone.
inline QString plainToolTip(const QString& text) {
    if (!Qt::mightBeRichText(text)) {
        return text;
    }
    return Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}

} // namespace wexon::ui
