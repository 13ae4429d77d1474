// Edits whose text counts only when Enter is pressed: leaving one otherwise puts the stored value
// back, so the screen never shows what the image does not hold.
#pragma once

#include <functional>

class QLineEdit;
class QString;

namespace korvex {

// `storedText` gives what the edit shows for the stored value. A focus that goes to a popup (the
// edit's own menu) or to another window comes back to the edit, so those keep the typing.
void ShowStoredOnFocusOut(QLineEdit* edit, std::function<QString()> storedText);

} // namespace korvex
