// SPDX-License-Identifier: MIT
#include "own_layer_address.h"

#include "iscsi_changer_address.h"
#include "private_layer_config.h"
#include "sg_device_address.h"

namespace karvel::ctl {

std::optional<TargetAddress> use_sg_device_address(const std::string& text, std::string& why) {
    const std::optional<SgDeviceAddress> device = resolve_sg_device(text, why);
    if (!device)
        return std::nullopt;
    if (!use_private_layer_config("sg", why)) {
        why = text + ": " + why;
        return std::nullopt;
    }
    return TargetAddress{device->adapter, device->target, device->lun};
}

std::optional<TargetAddress> use_iscsi_address(const std::string& text, std::string& why) {
    const std::optional<IscsiChangerAddress> plan = plan_iscsi_address(text, chap_sources_of_this_process(), why);
    if (!plan)
        return std::nullopt;
    if (!use_private_layer_config(plan->layerLine, why)) {
        why = text + ": " + why;
        return std::nullopt;
    }
    return TargetAddress{0, 0, plan->lun};
}

}  // namespace karvel::ctl
