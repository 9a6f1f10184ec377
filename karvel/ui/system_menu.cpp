// SPDX-License-Identifier: MIT
#include "ui/system_menu.h"

#include <QAction>
#include <QMenu>

namespace karvel::ui {

namespace {

QAction* findCommand(QMenu* menu, uint32_t id) {
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && action->data().toUInt() == id)
            return action;
    return nullptr;
}

}  // namespace

SystemMenu::SystemMenu(QWidget* window, std::function<void(uint32_t)> onCommand)
    : QObject(window), m_menu(new QMenu(window)), m_onCommand(std::move(onCommand)) {
    m_menu->setObjectName(QStringLiteral("systemMenu"));
    appendString(kScSize, QStringLiteral("&Size"));
    appendString(kScMinimize, QStringLiteral("Mi&nimize"));
    appendString(kScMaximize, QStringLiteral("Ma&ximize"));
    appendString(kScClose, QStringLiteral("&Close"));
}

SystemMenu::~SystemMenu() = default;

bool SystemMenu::deleteByCommand(uint32_t id) {
    QAction* action = findCommand(m_menu, id);
    if (!action)
        return false;
    m_menu->removeAction(action);
    delete action;
    return true;
}

bool SystemMenu::insertString(int position, uint32_t id, const QString& text) {
    const QList<QAction*> actions = m_menu->actions();
    if (position < 0 || position > actions.size())
        return false;
    auto* action = new QAction(text, m_menu);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { m_onCommand(id); });
    m_menu->insertAction(position < actions.size() ? actions[position] : nullptr, action);
    return true;
}

void SystemMenu::appendSeparator() {
    m_menu->addSeparator();
}

void SystemMenu::appendString(uint32_t id, const QString& text) {
    insertString(static_cast<int>(m_menu->actions().size()), id, text);
}

std::vector<SystemMenu::Item> SystemMenu::items() const {
    std::vector<Item> result;
    for (QAction* action : m_menu->actions()) {
        if (action->isSeparator())
            result.push_back(Item{0, QString(), true});
        else
            result.push_back(Item{action->data().toUInt(), action->text(), false});
    }
    return result;
}

bool SystemMenu::choose(uint32_t id) {
    QAction* action = findCommand(m_menu, id);
    if (!action)
        return false;
    action->trigger();
    return true;
}

}  // namespace karvel::ui
