// The question before the window's own work is dropped.
#include "WorkGuard.h"

#include "app/OpenedFile.h"
#include "app/WindowHost.h"
#include "host/MonitorState.h"
#include "text/TextPair.h"

#include <QFileInfo>
#include <QLocale>

namespace korvex {

namespace {
constexpr TextPair SaveChangesQuestion{
    "Сохранить изменения?\nИзменения есть только в окне: их нет ни в файле, ни в контроллере.",
    "Save changes?\nThe changes exist only in the window: neither in a file nor on the "
    "controller."};
constexpr int RecoveryDelayMs = 3000;
constexpr TextPair RestoreQuestion{
    "Восстановить несохраненную работу?\nОна сохранена %s и отличается от %s.\n"
    "Нет: удалить ее.",
    "Restore the work that was not saved?\nIt was kept at %s and differs from %s.\n"
    "No: delete it."};
constexpr TextPair FromFile{"файла \"%s\"", "the file \"%s\""};
constexpr TextPair FromNoFile{"конфигурации контроллера", "the controller's configuration"};
} // namespace

WorkGuard::WorkGuard(const ConfigImage& image, const MonitorState& monitor,
                     const OpenedFile& opened, WindowHost& host, const LanguageState& language)
    : image_(image), monitor_(monitor), opened_(opened), host_(host), language_(language) {
    recoveryTimer.setSingleShot(true);
    recoveryTimer.setInterval(RecoveryDelayMs);
    QObject::connect(&recoveryTimer, &QTimer::timeout, &recoveryTimer, [this] { KeepWorkNow(); });
}

void WorkGuard::WatchWork() {
    if (!offered_) {
        offered_ = true;
        OfferRecovery();
    }
    if (HoldsOwnWork()) {
        if ((!kept_ || *kept_ != image_.bytes) && !recoveryTimer.isActive())
            recoveryTimer.start();
        return;
    }
    recoveryTimer.stop();
    if (kept_) {
        recovery.Remove();
        kept_.reset();
    }
}

void WorkGuard::KeepWorkNow() {
    if (!HoldsOwnWork() || (kept_ && *kept_ == image_.bytes))
        return;
    if (recovery.Write(image_.bytes, opened_.FileName()))
        kept_ = image_.bytes;
}

void WorkGuard::DropRecovery() {
    recoveryTimer.stop();
    if (kept_)
        recovery.Remove();
    kept_.reset();
}

void WorkGuard::OfferRecovery() {
    const std::optional<RecoveryCopy::Kept> found = recovery.Find();
    if (!found)
        return;
    const int lang = language_.current;
    const QByteArray when = QLocale(lang == LangEnglish ? QLocale::English : QLocale::Russian)
                                .toString(found->made, QLocale::ShortFormat)
                                .toUtf8();
    const QByteArray from =
        (found->source.isEmpty()
             ? LangText(FromNoFile, lang)
             : LangFormat(FromFile, lang, QFileInfo(found->source).fileName().toUtf8().constData()))
            .toUtf8();
    const int answer = host_.ShowMessageBox(
        mb::IconQuestion, LangFormat(RestoreQuestion, lang, when.constData(), from.constData()));
    if (answer != mb::IdYes || !restore) {
        recovery.Remove();
        return;
    }
    // Restore cancelled at "Save changes?": the copy stays until this run keeps work of its own.
    if (!MayReplace())
        return;
    restore(*found);
    kept_ = found->bytes; // the copy on disk is this run's now
}

bool WorkGuard::HoldsOwnWork() const {
    return opened_.HoldsOwnWork(image_, monitor_);
}

bool WorkGuard::MayReplace() {
    // An edit made while in step with the controller is the controller's once the next tick has
    // sent it: it goes now, before the action.
    if (monitor_.imageInSync && monitor_.controllerConnected && sendPending)
        sendPending();
    if (!HoldsOwnWork())
        return true;
    switch (host_.AskToSave(LangText(SaveChangesQuestion, language_))) {
    case WindowHost::SaveAnswer::Save:
        // The file the work came from is saved as it is; only work of no file asks where.
        if (!opened_.FileName().isEmpty() && saveTo) {
            if (!saveTo(opened_.FileName()))
                return false;
        } else if (saveAs) {
            saveAs();
        }
        // A save cancelled or failed keeps the work, and the window as it was.
        return !HoldsOwnWork();
    case WindowHost::SaveAnswer::Discard:
        return true;
    case WindowHost::SaveAnswer::Cancel:
        break;
    }
    return false;
}

} // namespace korvex
