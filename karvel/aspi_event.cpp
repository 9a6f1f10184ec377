// SPDX-License-Identifier: MIT
#include "aspi_event.h"

#include <cstdint>

#include <sys/eventfd.h>
#include <unistd.h>

namespace {

int makeEventFd() {
    return eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

AspiEvent::Maker eventFdMaker = &makeEventFd;

}  // namespace

AspiEvent::~AspiEvent() {
    if (m_fd >= 0)
        close(m_fd);
}

bool AspiEvent::create() {
    if (m_fd < 0)
        m_fd = eventFdMaker();
    return m_fd >= 0;
}

void* AspiEvent::handle() const {
    // The descriptor travels in the block's pointer-sized slot.
    return m_fd >= 0 ? reinterpret_cast<void*>(static_cast<intptr_t>(m_fd)) : nullptr;
}

void AspiEvent::setMakerForTest(Maker maker) {
    eventFdMaker = maker ? maker : &makeEventFd;
}
