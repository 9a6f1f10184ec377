// SPDX-License-Identifier: MIT
#include "ui/modal_services.h"

#include "ui/qt_modal_services.h"

namespace karvel::ui {

namespace {
ModalServices* g_installed = nullptr;
}

ModalServices& modalServices() {
    static QtModalServices qtServices;
    return g_installed ? *g_installed : qtServices;
}

void setModalServices(ModalServices* services) {
    g_installed = services;
}

}  // namespace karvel::ui
