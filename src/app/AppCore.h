// The process-wide records of the program and the core operations on them, owned by one
// application object: the window builds one, the tests build a fresh one each.
#pragma once

#include "app/ConnectionMonitor.h"
#include "app/SnapshotKeeper.h"
#include "app/ToolbarCommands.h"
#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"
#include "host/EditorViews.h"
#include "host/MonitorState.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "link/Terminal.h"
#include "text/TextPair.h"

namespace korvex {

struct AppCore {
    // The language is the window's before the core exists (the log and the boxes need it first).
    AppCore(LanguageState& language, SerialTransport& transport, PortFinder& finder, UiHost& host,
            MonitorView& monitorView, CommandView& commandView)
        : language(language), link(transport, finder, host, monitor, language),
          transfer(link.device, host, image, monitor, language, link.ports),
          connection(link, monitor, identity, image, transfer, monitorView, host, language),
          commands(monitor, image, transfer, commandView, host, language),
          terminal(link.device, transfer, monitor, link.state, host, language),
          snapshots(image, monitor, host, language) {
        connection.readTerminalText = [this] { return terminal.ReadTerminalText(); };
        connection.resetTerminalLine = [this] { terminal.ResetLine(); };
        terminal.pollSoon = [this] { connection.PollSoon(); };
        transfer.beforeReplace = [this] { snapshots.KeepLastRead(); };
        connection.beforeSend = [this] { snapshots.KeepLastRead(); };
        commands.lastSnapshot = [this] { return snapshots.LastKept(); };
    }
    AppCore(const AppCore&) = delete;
    AppCore& operator=(const AppCore&) = delete;

    LanguageState& language;
    MonitorState monitor;
    ConfigImage image;
    IdentityRecord identity;
    ViewState views;
    DeviceLink link;
    ConfigTransfer transfer;
    ConnectionMonitor connection;
    ToolbarCommands commands;
    Terminal terminal;
    SnapshotKeeper snapshots;
};

} // namespace korvex
