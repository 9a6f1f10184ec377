// SPDX-License-Identifier: MIT
// rezero: REZERO UNIT, which sends the changer's mechanism home (Karvel's Reset).
#include "command_support.h"
#include "exit_codes.h"
#include <karvel/nevsel.h>
#include "vendor_commands.h"

namespace karvel::ctl {

int run_rezero(CommandContext& context) {
    int exit = kExitSuccess;
    if (!command_arguments(context, {}, 0, 0, exit))
        return exit;
    ChangerSession* session = context.changer();
    if (!session)
        return context.open_failure_exit();
    return run_showing_progress(context, "Rezeroing Changer", [&]() -> std::optional<FailedRequest> {
        if (Rezero(&session->request_block()) == SS_COMP)
            return std::nullopt;
        return failed_request("REZERO UNIT Failed", session->request_block());
    });
}

}  // namespace karvel::ctl
