// SPDX-License-Identifier: MIT
#include "progress.h"

#include <algorithm>
#include <chrono>

namespace karvel::ctl {

Progress::Progress(std::ostream& out, bool terminal, std::string text) : m_out(out), m_text(std::move(text)) {
    if (!terminal)
        return;
    show(0);
    m_thread = std::thread([this] { run(); });
}

Progress::~Progress() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_wake.notify_all();
    m_thread.join();
    m_out << '\r' << std::string(m_shownLength, ' ') << '\r' << std::flush;
}

void Progress::show(unsigned seconds) {
    const std::string line = m_text + " ... " + std::to_string(seconds) + " s";
    m_out << '\r' << line;
    if (line.size() < m_shownLength)
        m_out << std::string(m_shownLength - line.size(), ' ');
    m_out << std::flush;
    m_shownLength = std::max(m_shownLength, line.size());
}

void Progress::run() {
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(m_mutex);
    for (unsigned seconds = 1;; ++seconds) {
        if (m_wake.wait_until(lock, start + std::chrono::seconds(seconds), [this] { return m_done; }))
            return;
        show(seconds);
    }
}

}  // namespace karvel::ctl
