#pragma once

#include <QChar>
#include <QLineEdit>

#include "core/country_table.h"

namespace wexon::ui {

// Types one printable key into a country box with completion from the country
// table: an empty box, or a key typed at its start, begins the name anew with a
// capital; when a country in the table (searched from the last entry) begins with
// the text up to the cursor plus the key, the box shows that country with the
// completed rest selected and the cursor after the typed text. Otherwise the key
// is inserted as it is. Returns the completing entry's index, 0 when none.
int typeCountryKey(QLineEdit& box, QChar key, const core::CountryTable& table);

} // namespace wexon::ui
