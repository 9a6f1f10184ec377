// SPDX-License-Identifier: MIT
#include "command_availability.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

#include "resources/resource_ids.h"
#include "ui/combo_box.h"
#include "ui/list_box.h"
#include "ui/template_dialog.h"

using namespace karvel;

namespace {

enum Need : unsigned { slot = 1u << 0, drive = 1u << 1, transport = 1u << 2, port = 1u << 3 };

struct CommandNeeds {
    int button;
    unsigned needs;
};

constexpr CommandNeeds kCommands[] = {
    {res::kIdMount, slot | drive | transport},
    {res::kIdUnMount, drive | transport},
    {res::kIdImport, port | slot | transport},
    {res::kIdExport, slot | port | transport},
};

struct NeedName {
    Need need;
    const char* name;
};

constexpr NeedName kNames[] = {{slot, "slot"}, {drive, "drive"}, {transport, "transport"}, {port, "import/export port"}};

// Returns "Needs a selected slot and drive" for the needs that are missing.
QString missingText(unsigned missing) {
    QStringList names;
    for (const NeedName& n : kNames)
        if (missing & n.need)
            names << QString::fromLatin1(n.name);
    QString list = names.takeLast();
    if (!names.isEmpty())
        list = names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + list;
    return QStringLiteral("Needs a selected %1").arg(list);
}

}  // namespace

CommandAvailability::CommandAvailability(const CommandControls& controls)
    : QObject(&controls.dialog), m_controls(controls) {
    // A new row never brings a selection with it, so the slot list's insertions (25600 of them
    // in a rebuild of the largest changer) are not watched.
    if (QListWidget* list = controls.slotList.control()) {
        connect(list, &QListWidget::itemSelectionChanged, this, &CommandAvailability::update);
        connect(list->model(), &QAbstractItemModel::rowsRemoved, this, &CommandAvailability::update);
        connect(list->model(), &QAbstractItemModel::modelReset, this, &CommandAvailability::update);
    }
    for (ui::ComboBox* box : {&controls.driveCombo, &controls.transportCombo, &controls.ieCombo})
        if (QComboBox* combo = box->control()) {
            connect(combo, &QComboBox::currentIndexChanged, this, &CommandAvailability::update);
            connect(combo->model(), &QAbstractItemModel::rowsRemoved, this, &CommandAvailability::update);
            connect(combo->model(), &QAbstractItemModel::modelReset, this, &CommandAvailability::update);
        }
    update();
}

void CommandAvailability::update() {
    const auto selected = [](const auto& box) { return box.control() && box.getCurSel() >= 0; };
    unsigned present = 0;
    if (selected(m_controls.slotList))
        present |= slot;
    if (selected(m_controls.driveCombo))
        present |= drive;
    if (selected(m_controls.transportCombo))
        present |= transport;
    if (selected(m_controls.ieCombo))
        present |= port;
    for (const CommandNeeds& command : kCommands) {
        auto* button = m_controls.dialog.itemAs<QPushButton>(command.button);
        if (!button)
            continue;
        const unsigned missing = command.needs & ~present;
        button->setEnabled(missing == 0);
        const QString tip = missing ? missingText(missing) : QString();
        if (button->toolTip() != tip)
            button->setToolTip(tip);
    }
}
