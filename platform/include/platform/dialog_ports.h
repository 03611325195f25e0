#pragma once

#include "platform/dialog_host.h"
#include "platform/event_pump.h"
#include "platform/file_uploader.h"
#include "platform/stream_socket.h"
#include "platform/update_observer.h"
#include "platform/window_timers.h"

namespace tessel {

// Everything outside the core that the main dialog reaches, handed in by its front end.
struct DialogPorts {
    DialogHost& window;
    WindowTimers& timers;
    EventPump& events;
    SocketFactory& sockets;
    FileUploader& uploader;
    UpdateObserver& observer;
};

}  // namespace tessel
