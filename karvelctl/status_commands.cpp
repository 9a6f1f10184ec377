// SPDX-License-Identifier: MIT
// status, inquiry and list: what the changer and the buses hold, changing nothing.
#include <array>

#include "changer_address.h"
#include "outside_text.h"
#include "changer_commands.h"
#include "changer_model/changer_discovery.h"
#include "command_support.h"
#include "device_types.h"
#include "exit_codes.h"
#include <karvel/nevsel.h>
#include "status_format.h"
#include "status_json.h"

namespace karvel::ctl {

int runStatus(CommandContext& context) {
    int exit = kExitSuccess;
    const std::optional<CommandArguments> args = commandArguments(context, {"--json"}, 0, 0, exit);
    if (!args)
        return exit;
    ChangerSession* session = nullptr;
    const std::optional<ChangerInventory> inventory = readChangerInventory(context, session, exit);
    if (!inventory)
        return exit;
    if (!args->has("--json")) {
        context.out << formatStatus(*inventory, session->name()) << std::flush;
        return kExitSuccess;
    }
    ChangerIdentity identity;
    if (const std::optional<FailedRequest> failed = session->readIdentity(identity))
        return requestFailure(context, *failed);
    context.out << formatStatusJson(*inventory, identity, session->name(), session->target()) << std::flush;
    return kExitSuccess;
}

int runInquiry(CommandContext& context) {
    int exit = kExitSuccess;
    if (!commandArguments(context, {}, 0, 0, exit))
        return exit;
    ChangerSession* session = context.changer();
    if (!session)
        return context.openFailureExit();
    ChangerIdentity identity;
    if (const std::optional<FailedRequest> failed = session->readIdentity(identity))
        return requestFailure(context, *failed);
    context.out << "Product Type: " << deviceTypeName(identity.deviceType) << '\n'
                << "Vendor ID: '" << escapeText(identity.vendor) << "'\n"
                << "Product ID: '" << escapeText(identity.product) << "'\n"
                << "Revision: '" << escapeText(identity.revision) << "'\n"
                << "Attached Changer API: " << (identity.attachedChanger ? "Yes" : "No") << '\n'
                << std::flush;
    return kExitSuccess;
}

int runList(CommandContext& context) {
    int exit = kExitSuccess;
    if (!commandArguments(context, {}, 0, 0, exit))
        return exit;
    const std::optional<uint8_t> adapters = readyAdapterCount();
    if (!adapters) {
        context.err << "karvelctl: list: the ASPI layer is not ready\n";
        return kExitNoChanger;
    }
    // The discovery scan, every device it meets: every adapter, target ids 0-15, LUNs 0-7.
    SRBunion probe{};
    model::scanTargets(probe, *adapters, [&](TargetAddress target, uint8_t deviceType) {
        std::string address = formatTargetAddress(target);
        address.resize(std::max<size_t>(address.size(), 9), ' ');
        std::string type = deviceTypeName(deviceType);
        type.resize(std::max<size_t>(type.size(), 26), ' ');
        context.out << address << type;
        ChangerSession device(target, address);
        ChangerIdentity identity;
        if (const std::optional<FailedRequest> failed = device.readIdentity(identity)) {
            std::array<char, 46> text{};
            GetASPIstatus(failed->status, text.data());
            context.out << "(INQUIRY failed: " << text.data() << ")\n";
        } else {
            context.out << escapeText(identity.vendor) << ' ' << escapeText(identity.product) << ' '
                        << escapeText(identity.revision) << '\n';
        }
        return true;
    });
    context.out << std::flush;
    return kExitSuccess;
}

}  // namespace karvel::ctl
