// SPDX-License-Identifier: MIT
// The main dialog's completion event: an eventfd, auto-reset and not signalled, placed in
// the request block's SRB_PostProc and never waited on.
#pragma once

class AspiEvent {
public:
    AspiEvent() = default;
    AspiEvent(const AspiEvent&) = delete;
    AspiEvent& operator=(const AspiEvent&) = delete;
    ~AspiEvent();

    // Creates the event; returns false when the system refuses one.
    bool create();
    bool isValid() const { return m_fd >= 0; }
    // Returns the handle as the request block carries it (null when not created).
    void* handle() const;
    int fd() const { return m_fd; }

    // Replaces the system call that makes the descriptor (null restores eventfd); lets tests
    // make creation fail.
    using Maker = int (*)();
    static void setMakerForTest(Maker maker);

private:
    int m_fd = -1;
};
