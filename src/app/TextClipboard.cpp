// The configuration as text through the clipboard.
#include "TextClipboard.h"

#include "config/ConfigDiff.h"
#include "config/ConfigText.h"
#include "host/UiHost.h"
#include "text/TextPair.h"

#include <QClipboard>
#include <QGuiApplication>

namespace korvex {

namespace {
constexpr TextPair ClipboardName{"Буфер обмена", "Clipboard"};
constexpr TextPair CopiedText{"Конфигурация скопирована текстом",
                              "The configuration is copied as text"};
constexpr TextPair PasteQuestion{"Применить текст из буфера обмена к конфигурации?",
                                 "Apply the text from the clipboard to the configuration?"};
constexpr TextPair PasteChangesNothing{"Текст из буфера обмена ничего не меняет",
                                       "The text from the clipboard changes nothing"};
constexpr TextPair PastedLine{"Текст из буфера обмена применен",
                              "The text from the clipboard is applied"};
constexpr TextPair FileQuestion{"Применить текст из файла \"%s\" к конфигурации?",
                                "Apply the text from the file \"%s\" to the configuration?"};
constexpr TextPair FileChangesNothing{"Текст из файла \"%s\" ничего не меняет",
                                      "The text from the file \"%s\" changes nothing"};
constexpr TextPair FileAppliedLine{"Текст из файла \"%s\" применен",
                                   "The text from the file \"%s\" is applied"};
constexpr int ShownDiffLines = 15;
} // namespace

TextClipboard::TextClipboard(ConfigImage& image, UiHost& host, const LanguageState& language,
                             QObject* parent)
    : QObject(parent), image_(image), host_(host), language_(language) {}

void TextClipboard::Copy() {
    ConfigTextOptions options;
    options.language = language_.current;
    options.controller = identity ? identity() : nullptr;
    QGuiApplication::clipboard()->setText(WriteConfigText(image_.bytes, options));
    host_.ShowPanelMessage(false, 2500, 250, LangText(CopiedText, language_));
}

void TextClipboard::Paste() {
    Apply(QGuiApplication::clipboard()->text(), QString());
}

void TextClipboard::ApplyFileText(const QString& text, const QString& fileName) {
    Apply(text, fileName);
}

void TextClipboard::Apply(const QString& text, const QString& fileName) {
    const int lang = language_.current;
    const bool clipboard = fileName.isEmpty();
    const QByteArray name = fileName.toUtf8();
    const auto said = [&](const TextPair& fromClipboard, const TextPair& fromFile) {
        return clipboard ? LangText(fromClipboard, lang)
                         : LangFormat(fromFile, lang, name.constData());
    };
    ConfigBytes after = image_.bytes;
    const ConfigTextResult read = ApplyConfigText(text, after, lang);
    if (!read.ok) {
        host_.ShowMessageBox(mb::IconError,
                             ConfigTextMessage(clipboard ? LangText(ClipboardName, lang) : fileName,
                                               read.error, lang));
        return;
    }
    if (after == image_.bytes) {
        host_.ShowMessageBox(mb::IconInformation, said(PasteChangesNothing, FileChangesNothing));
        return;
    }
    const QString question =
        said(PasteQuestion, FileQuestion) + QStringLiteral("\n\n") +
        DiffSummary(DiffConfigurations(image_.bytes, after, lang), ShownDiffLines, lang);
    if (host_.ShowMessageBox(mb::IconQuestion | mb::DefButton2, question) != mb::IdYes)
        return;
    image_.bytes = after;
    if (applied)
        applied();
    host_.LogLine(said(PastedLine, FileAppliedLine));
}

} // namespace korvex
