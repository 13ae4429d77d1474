// The check that every operation on the controller itself makes first.
#pragma once

#include "host/MonitorState.h"
#include "host/UiHost.h"
#include "text/TextPair.h"

namespace korvex {

inline constexpr TextPair NotConnectedText{"Контроллер не подключен!",
                                           "Controller is not connected!"};

// False when a controller is connected; otherwise tells the user and returns true.
inline bool RequireController(const MonitorState& monitor, UiHost& host,
                              const LanguageState& language) {
    if (monitor.controllerConnected)
        return false;
    host.ShowMessageBox(mb::IconError, LangText(NotConnectedText, language));
    return true;
}

} // namespace korvex
