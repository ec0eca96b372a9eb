#include "ui/main/country_completion.h"

namespace wexon::ui {

int typeCountryKey(QLineEdit& box, QChar key, const core::CountryTable& table) {
    int caret = box.hasSelectedText() ? box.selectionStart() : box.cursorPosition();
    if (box.text().isEmpty() || caret == 0) {
        box.clear();
        caret = 0;
        if (key >= QLatin1Char('a') && key <= QLatin1Char('z')) {
            key = key.toUpper();
        }
    }
    const QString typed = box.text().left(caret) + key;
    const int index = core::completeCountry(table, typed.toLatin1().toStdString());
    if (index == 0) {
        box.insert(QString(key));
        return 0;
    }
    const std::string_view name = table.countryOf(index);
    const QString country = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    const QString full = typed + country.mid(typed.size());
    box.setText(full);
    // Anchor at the end, cursor after the typed text: the completed rest is selected.
    box.setSelection(static_cast<int>(full.size()), -static_cast<int>(full.size() - typed.size()));
    return index;
}

} // namespace wexon::ui
