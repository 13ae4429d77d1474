// The question before the window's own work is dropped.
#include "WorkGuard.h"

#include "app/OpenedFile.h"
#include "app/WindowHost.h"
#include "host/MonitorState.h"
#include "text/TextPair.h"

namespace korvex {

namespace {
constexpr TextPair SaveChangesQuestion{
    "Сохранить изменения?\nИзменения есть только в окне: их нет ни в файле, ни в контроллере.",
    "Save changes?\nThe changes exist only in the window: neither in a file nor on the "
    "controller."};
} // namespace

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
