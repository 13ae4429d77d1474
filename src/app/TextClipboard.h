// "Copy as text" and "Paste text" of the panel menu: the whole configuration to the clipboard
// as text, and a text or snippet from it, applied after a question that shows what it changes.
#pragma once

#include "config/ConfigImage.h"

#include <QObject>

#include <functional>

namespace korvex {

class UiHost;
struct IdentityRecord;
struct LanguageState;

class TextClipboard final : public QObject {
    Q_OBJECT
public:
    TextClipboard(ConfigImage& image, UiHost& host, const LanguageState& language, QObject* parent);

    // The connected controller, named in the text's header; null when there is none.
    std::function<const IdentityRecord*()> identity;
    // After a paste changed the image: redraw it and make it one step of the history.
    std::function<void()> applied;

    void Copy();
    void Paste();
    // A snippet file, opened or dropped, is applied as a paste is: true when `fileName` is a
    // readable snippet (asked about, applied or not); false leaves it to be opened as a file.
    bool ApplySnippetFile(const QString& fileName);
    // As Paste, with a text read from the file `fileName` (its name is in the question and log).
    void ApplyFileText(const QString& text, const QString& fileName);

private:
    // `after` is the image with a text applied; `name` names the text in the boxes and the log.
    void Offer(const ConfigBytes& after, const QString& name, bool fromFile);

    ConfigImage& image_;
    UiHost& host_;
    const LanguageState& language_;
};

} // namespace korvex
