// SPDX-License-Identifier: MIT
#include "ui/modal_services.h"

#include "ui/qt_modal_services.h"

namespace karvel::ui {

namespace {
ModalServices* gInstalled = nullptr;
}

ModalServices& modalServices() {
    static QtModalServices qtServices;
    return gInstalled ? *gInstalled : qtServices;
}

void setModalServices(ModalServices* services) {
    gInstalled = services;
}

}  // namespace karvel::ui
