// SPDX-License-Identifier: MIT
// rezero: REZERO UNIT, which sends the changer's mechanism home (Karvel's Reset).
#include "command_support.h"
#include "exit_codes.h"
#include <karvel/nevsel.h>
#include "vendor_commands.h"

namespace karvel::ctl {

int runRezero(CommandContext& context) {
    int exit = kExitSuccess;
    if (!commandArguments(context, {}, 0, 0, exit))
        return exit;
    ChangerSession* session = context.changer();
    if (!session)
        return context.openFailureExit();
    return runShowingProgress(context, "Rezeroing Changer", [&]() -> std::optional<FailedRequest> {
        if (Rezero(&session->requestBlock()) == SS_COMP)
            return std::nullopt;
        return failedRequest("REZERO UNIT Failed", session->requestBlock());
    });
}

}  // namespace karvel::ctl
