// SPDX-License-Identifier: MIT
#include "own_layer_address.h"

#include "iscsi_changer_address.h"
#include "private_layer_config.h"
#include "sg_device_address.h"

namespace karvel::ctl {

std::optional<TargetAddress> useSgDeviceAddress(const std::string& text, std::string& why) {
    const std::optional<SgDeviceAddress> device = resolveSgDevice(text, why);
    if (!device)
        return std::nullopt;
    if (!usePrivateLayerConfig("sg", why)) {
        why = text + ": " + why;
        return std::nullopt;
    }
    return TargetAddress{device->adapter, device->target, device->lun};
}

std::optional<TargetAddress> useIscsiAddress(const std::string& text, std::string& why) {
    const std::optional<IscsiChangerAddress> plan = planIscsiAddress(text, chapSourcesOfThisProcess(), why);
    if (!plan)
        return std::nullopt;
    if (!usePrivateLayerConfig(plan->layerLine, why)) {
        why = text + ": " + why;
        return std::nullopt;
    }
    return TargetAddress{0, 0, plan->lun};
}

}  // namespace karvel::ctl
