list(APPEND KORVEX_CORE_SOURCES
    link/Crc32Fingerprint.cpp link/Crc32Fingerprint.h
    link/DeviceAccess.cpp link/DeviceAccess.h
    link/DeviceLink.h
    link/Frame.h
    link/FrameProtocol.cpp link/FrameProtocol.h
    link/IdentityRecord.cpp link/IdentityRecord.h
    link/LinkState.h
    link/LittleEndian.h
    link/Notifications.cpp link/Notifications.h
    link/PortDoctor.cpp link/PortDoctor.h
    link/PortFinder.cpp link/PortFinder.h
    link/QtSerialTransport.cpp link/QtSerialTransport.h
    link/ResultText.cpp link/ResultText.h
    link/SerialLink.cpp link/SerialLink.h
    link/SerialTransport.h
    link/Terminal.cpp link/Terminal.h)
list(APPEND KORVEX_CORE_SOURCES link/ClickPair.h)
list(APPEND KORVEX_UI_SOURCES link/LogWindow.cpp link/LogWindow.h)
list(APPEND KORVEX_UI_SOURCES link/TerminalInput.cpp link/TerminalInput.h)
