// SPDX-License-Identifier: MIT
// The main dialog's own system menu. Linux window managers do not let a program edit
// theirs, so the dialog carries this one, opened from its icon button at the top left and
// with Alt+Space. It starts with the platform's commands; chosen commands reach the
// handler with their id.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QObject>
#include <QString>

class QMenu;
class QWidget;

namespace karvel::ui {

// The platform's system command ids.
inline constexpr uint32_t kScSize = 0xF000;
inline constexpr uint32_t kScMinimize = 0xF020;
inline constexpr uint32_t kScMaximize = 0xF030;
inline constexpr uint32_t kScClose = 0xF060;

class SystemMenu : public QObject {
    Q_OBJECT

public:
    struct Item {
        uint32_t id;  // 0 for a separator
        QString text;
        bool separator;
    };

    // Creates the menu with the platform's items (Size, Minimize, Maximize, Close); chosen
    // commands go to onCommand.
    SystemMenu(QWidget* window, std::function<void(uint32_t)> onCommand);
    ~SystemMenu() override;

    // Returns false when no item has that id.
    bool deleteByCommand(uint32_t id);
    // Returns false when position is beyond the end.
    bool insertString(int position, uint32_t id, const QString& text);
    void appendSeparator();
    void appendString(uint32_t id, const QString& text);

    // Returns the items from the top.
    std::vector<Item> items() const;
    // Chooses a command as the operator would; returns false when no item has that id.
    bool choose(uint32_t id);
    QMenu* menu() const { return m_menu; }

private:
    QMenu* m_menu;
    std::function<void(uint32_t)> m_onCommand;
};

}  // namespace karvel::ui
