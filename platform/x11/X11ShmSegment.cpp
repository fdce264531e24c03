#include "platform/x11/X11ShmSegment.h"

#include "platform/x11/X11ErrorTrap.h"

#include <sys/ipc.h>
#include <sys/shm.h>

std::unique_ptr<X11ShmSegment> X11ShmSegment::create(Display* display, std::size_t bytes) {
    if (!XShmQueryExtension(display))
        return nullptr;
    XShmSegmentInfo info{};
    info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (info.shmid < 0)
        return nullptr;
    void* address = shmat(info.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(info.shmid, IPC_RMID, nullptr);
        return nullptr;
    }
    info.shmaddr = static_cast<char*>(address);
    info.readOnly = False;
    const bool attached = attachToServer(display, info);
    // Marked for removal at once, so the segment goes with the last detach even if the program is killed.
    shmctl(info.shmid, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(address);
        return nullptr;
    }
    return std::unique_ptr<X11ShmSegment>(new X11ShmSegment(display, bytes, info));
}

bool X11ShmSegment::attachToServer(Display* display, XShmSegmentInfo& info) {
    X11ErrorTrap trap(display);
    XShmAttach(display, &info);
    return !trap.syncAndCheck();
}

X11ShmSegment::~X11ShmSegment() {
    X11ErrorTrap trap(m_display);
    XShmDetach(m_display, &m_info);
    trap.syncAndCheck();
    shmdt(m_info.shmaddr);
}
