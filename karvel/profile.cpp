// SPDX-License-Identifier: MIT
#include "profile.h"

#include "changer_model/saved_target.h"
#include "ui/application_name.h"

QString profilePath() {
    return QString::fromStdString(karvel::model::profilePath(karvel::ui::applicationName().toStdString()));
}
