list(APPEND KORVEX_CORE_SOURCES
    sim/VirtualController.cpp sim/VirtualController.h
    sim/ReplyFaults.cpp sim/ReplyFaults.h
    sim/VirtualTransport.cpp sim/VirtualTransport.h
    sim/VirtualLinLamp.cpp sim/VirtualLinLamp.h)
