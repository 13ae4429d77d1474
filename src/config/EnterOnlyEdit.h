// Edits whose text counts only when Enter is pressed: leaving one otherwise puts the stored value
// back, so the screen never shows what the image does not hold.
#pragma once

#include <functional>

class QLineEdit;
class QString;

namespace korvex {

class UiHost;
struct EditNumberResult;

// `storedText` gives what the edit shows for the stored value. A focus that goes to a popup (the
// edit's own menu) or to another window comes back to the edit, so those keep the typing.
void ShowStoredOnFocusOut(QLineEdit* edit, std::function<QString()> storedText);

// Puts the outcome of an Enter in a number edit on screen: a refused number gets its error box,
// the stored value back in the edit and the user brought back to it. True when it was stored.
bool ShowEditNumberResult(UiHost& host, QLineEdit* edit, const EditNumberResult& result);

} // namespace korvex
