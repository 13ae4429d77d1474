// Files from outside the window.
#include "FileArrivals.h"

#include "app/AppCore.h"
#include "app/FileDrops.h"
#include "app/WindowHost.h"

#include <QApplication>
#include <QUrl>
#include <QWidget>

namespace korvex {

namespace {
constexpr int DropRefusedNoticeMs = 3000;
} // namespace

FileArrivals::FileArrivals(QWidget* window, AppCore& core, WindowHost& host,
                           std::function<bool()> busy)
    : QObject(window), window_(window), core_(core), host_(host), busy_(std::move(busy)) {
    new FileDrops(window, busy_, [this](const DroppedFile& dropped) { Act(dropped); });
}

void FileArrivals::Hand(const QString& fileName) {
    handed_ << fileName;
    if (window_->isMinimized())
        window_->showNormal();
    window_->raise();
    window_->activateWindow();
    // A question still open stays in front of the window it belongs to, where it is answered.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void FileArrivals::OpenHanded() {
    if (!handed_.isEmpty() && !busy_() && QApplication::activeModalWidget() == nullptr)
        Act(ClassifyDrop({QUrl::fromLocalFile(handed_.takeFirst())}));
}

void FileArrivals::Act(const DroppedFile& file) {
    if (file.kind == DropKind::Configuration)
        core_.commands.OpenConfigFile(file.path);
    else if (file.kind == DropKind::Firmware)
        UpdateFromDrop(file.path);
    else if (file.kind == DropKind::LinFirmware)
        host_.ShowMessageBox(mb::IconInformation,
                             LinFirmwareDroppedText(file.path, core_.language.current));
    else
        host_.ShowPanelMessage(false, DropRefusedNoticeMs, 0,
                               LangText(DropRefusedText, core_.language));
}

void FileArrivals::UpdateFromDrop(const QString& path) {
    const unsigned version = core_.monitor.controllerConnected && !core_.identity.isBootloader()
                                 ? core_.identity.appVersion()
                                 : 0;
    const QString question = DroppedFirmwareQuestion(path, version, core_.language.current);
    if (!question.isEmpty() &&
        host_.ShowMessageBox(mb::IconQuestion | mb::DefButton2, question) != mb::IdYes)
        return;
    core_.commands.UpdateDevice(path);
}

} // namespace korvex
