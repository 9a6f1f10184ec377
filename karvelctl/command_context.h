// SPDX-License-Identifier: MIT
// What a karvelctl command is given to run (its words, streams, the changer opened on first
// use, mtx's modifiers) and what a command is: name, usage, summary, help and the function
// that runs it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "changer_session.h"

namespace karvel::ctl {

struct GlobalOptions {
    std::optional<std::string> changerAddress;  // the -f text as given
};

struct Command;

// Opens the changer; on failure returns null and fills failure.
using ChangerOpener = std::function<std::unique_ptr<ChangerSession>(const GlobalOptions&, OpenFailure&)>;

// The changer of one karvelctl run, shared by the commands of an mtx command line.
struct SessionSlot {
    ChangerOpener opener;
    std::unique_ptr<ChangerSession> session;
    OpenFailure failure;
    bool tried = false;
};

// mtx's modifiers in effect for a command: nobarcode, invert, invert2, eepos N (altres and
// noattach are taken and change nothing here).
struct MtxSettings {
    MoveModifiers move;
    bool noBarcode = false;
};

class CommandContext {
public:
    // A context for one command; out and err are the caller's and must outlive it; opener is
    // called at most once, by the first changer().
    CommandContext(std::vector<std::string> arguments, std::ostream& out, std::ostream& err, bool stdoutIsTerminal,
                   GlobalOptions global, ChangerOpener opener = openChangerSessionFor);
    // A context whose changer is slot's, opened by the first command of the line that needs it.
    CommandContext(std::vector<std::string> arguments, std::ostream& out, std::ostream& err, bool stdoutIsTerminal,
                   GlobalOptions global, std::shared_ptr<SessionSlot> slot, MtxSettings settings);

    const std::vector<std::string> arguments;  // the command's own words, after its name
    std::ostream& out;
    std::ostream& err;
    const bool stdoutIsTerminal;
    const GlobalOptions global;
    const Command* command = nullptr;  // the command being run (its name and usage for messages)
    const MtxSettings settings;

    // Returns the changer, opened at the first call and owned by the context; null when it
    // cannot be opened, after the reason went to err ("karvelctl: why").
    ChangerSession* changer();
    // Returns the exit code for the failure to open the changer.
    int openFailureExit() const { return m_slot->failure.exitCode; }

    // Opens the changer that global names (the default opener).
    static std::unique_ptr<ChangerSession> openChangerSessionFor(const GlobalOptions& global,
                                                                    OpenFailure& failure);

private:
    std::shared_ptr<SessionSlot> m_slot;
};

struct Command {
    std::string_view name;
    std::string_view usage;    // e.g. "load SLOT [DRIVE]"
    std::string_view summary;  // one line
    std::string_view help;     // what `karvelctl COMMAND --help` adds after the usage
    int (*run)(CommandContext&);
};

}  // namespace karvel::ctl
