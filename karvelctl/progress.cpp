// SPDX-License-Identifier: MIT
#include "progress.h"

#include <algorithm>
#include <chrono>

namespace karvel::ctl {

Progress::Progress(std::ostream& out, bool terminal, std::string text) : out_(out), text_(std::move(text)) {
    if (!terminal)
        return;
    show(0);
    thread_ = std::thread([this] { run(); });
}

Progress::~Progress() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    wake_.notify_all();
    thread_.join();
    out_ << '\r' << std::string(shownLength_, ' ') << '\r' << std::flush;
}

void Progress::show(unsigned seconds) {
    const std::string line = text_ + " ... " + std::to_string(seconds) + " s";
    out_ << '\r' << line;
    if (line.size() < shownLength_)
        out_ << std::string(shownLength_ - line.size(), ' ');
    out_ << std::flush;
    shownLength_ = std::max(shownLength_, line.size());
}

void Progress::run() {
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    for (unsigned seconds = 1;; ++seconds) {
        if (wake_.wait_until(lock, start + std::chrono::seconds(seconds), [this] { return done_; }))
            return;
        show(seconds);
    }
}

}  // namespace karvel::ctl
