// SPDX-License-Identifier: MIT
// Shows that a long command is working: "\rMoving ... 3 s", brought up to date every second
// from a thread of its own and erased at the end, only when stdout is a terminal.
#pragma once

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace karvel::ctl {

class Progress {
public:
    // Starts showing text on out when terminal is true; does nothing otherwise. out must
    // outlive the Progress, and nothing else may write to it meanwhile.
    Progress(std::ostream& out, bool terminal, std::string text);
    // Erases the line and stops the thread.
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

private:
    void show(unsigned seconds);
    void run();

    std::ostream& m_out;
    std::string m_text;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    size_t m_shownLength = 0;
    std::thread m_thread;
};

}  // namespace karvel::ctl
