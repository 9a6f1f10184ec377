// SPDX-License-Identifier: MIT
#include "ui/data_exchange.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "ui/combo_box.h"
#include "ui/dialog_controls.h"
#include "ui/dialog_integer.h"
#include "ui/list_box.h"
#include "ui/message_box.h"

namespace karvel::ui {

DataExchange::DataExchange(DialogControls& dialog, bool saveAndValidate)
    : m_dialog(dialog), m_saving(saveAndValidate) {}

void DataExchange::control(int id, ListBox& box) {
    if (m_failed)
        return;
    if (auto* widget = m_dialog.itemAs<QListWidget>(id); widget && box.control() != widget)
        box.attach(widget);
}

void DataExchange::control(int id, ComboBox& box) {
    if (m_failed)
        return;
    if (auto* widget = m_dialog.itemAs<QComboBox>(id); widget && box.control() != widget)
        box.attach(widget);
}

void DataExchange::integer(int id, int32_t& value) {
    if (m_failed)
        return;
    if (!m_saving) {
        m_dialog.setItemText(id, QString::number(value));
        return;
    }
    const std::optional<int32_t> read = parseDialogInteger(m_dialog.itemText(id));
    if (!read) {
        fail(id, QStringLiteral("Please enter an integer."));
        return;
    }
    value = *read;
}

void DataExchange::integerRange(int id, int32_t value, int32_t min, int32_t max) {
    if (m_failed || !m_saving)
        return;
    if (value < min || value > max)
        fail(id, QStringLiteral("Please enter an integer between %1 and %2.").arg(min).arg(max));
}

void DataExchange::fail(int id, const QString& message) {
    m_failed = true;
    showMessage(message, MessageIcon::exclamation);
    if (auto* edit = m_dialog.itemAs<QLineEdit>(id)) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
}

}  // namespace karvel::ui
