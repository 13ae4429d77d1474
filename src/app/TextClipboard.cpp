// The configuration as text through the clipboard.
#include "TextClipboard.h"

#include "config/ConfigDiff.h"
#include "config/ConfigText.h"
#include "host/UiHost.h"
#include "text/TextPair.h"

#include <QClipboard>
#include <QFileInfo>
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
constexpr TextPair SnippetQuestion{"Применить фрагмент \"%s\" к конфигурации?",
                                   "Apply the snippet \"%s\" to the configuration?"};
constexpr TextPair SnippetChangesNothing{"Фрагмент \"%s\" ничего не меняет",
                                         "The snippet \"%s\" changes nothing"};
constexpr TextPair SnippetLine{"Фрагмент \"%s\" применен", "The snippet \"%s\" is applied"};
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
    const int lang = language_.current;
    ConfigBytes after = image_.bytes;
    const ConfigTextResult read =
        ApplyConfigText(QGuiApplication::clipboard()->text(), after, lang);
    if (!read.ok) {
        host_.ShowMessageBox(mb::IconError,
                             ConfigTextMessage(LangText(ClipboardName, lang), read.error, lang));
        return;
    }
    Offer(after, QString(), false);
}

void TextClipboard::ApplyFileText(const QString& text, const QString& fileName) {
    const int lang = language_.current;
    ConfigBytes after = image_.bytes;
    const ConfigTextResult read = ApplyConfigText(text, after, lang);
    if (!read.ok) {
        host_.ShowMessageBox(mb::IconError, ConfigTextMessage(fileName, read.error, lang));
        return;
    }
    Offer(after, QFileInfo(fileName).fileName(), true);
}

bool TextClipboard::ApplySnippetFile(const QString& fileName) {
    ConfigBytes after = image_.bytes;
    const ConfigTextResult read = ReadConfigTextFile(fileName, after, language_.current);
    if (!read.ok || read.whole)
        return false; // the open reads it again and says what is wrong
    Offer(after, QFileInfo(fileName).fileName(), true);
    return true;
}

void TextClipboard::Offer(const ConfigBytes& after, const QString& name, bool fromFile) {
    const int lang = language_.current;
    const QByteArray quoted = name.toUtf8();
    if (after == image_.bytes) {
        host_.ShowMessageBox(mb::IconInformation,
                             fromFile ? LangFormat(SnippetChangesNothing, lang, quoted.constData())
                                      : LangText(PasteChangesNothing, lang));
        return;
    }
    const QString question =
        (fromFile ? LangFormat(SnippetQuestion, lang, quoted.constData())
                  : LangText(PasteQuestion, lang)) +
        QStringLiteral("\n\n") +
        DiffSummary(DiffConfigurations(image_.bytes, after, lang), ShownDiffLines, lang);
    if (host_.ShowMessageBox(mb::IconQuestion | mb::DefButton2, question) != mb::IdYes)
        return;
    image_.bytes = after;
    if (applied)
        applied();
    host_.LogLine(fromFile ? LangFormat(SnippetLine, lang, quoted.constData())
                           : LangText(PastedLine, lang));
}

} // namespace korvex
