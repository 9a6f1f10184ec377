// SPDX-License-Identifier: MIT
#include "ui/combo_box.h"

#include <QComboBox>

namespace karvel::ui {

void ComboBox::attach(QComboBox* control) {
    m_control = control;
    m_control->setEditable(false);
}

void ComboBox::resetContent() {
    m_control->clear();
}

int ComboBox::addString(const QString& text) {
    const int selected = m_control->currentIndex();
    m_control->addItem(text);
    if (selected < 0)
        m_control->setCurrentIndex(-1);
    return m_control->count() - 1;
}

int ComboBox::setCurSel(int k) {
    if (k < 0 || k >= m_control->count()) {
        m_control->setCurrentIndex(-1);
        return -1;
    }
    m_control->setCurrentIndex(k);
    return k;
}

int ComboBox::getCurSel() const {
    return m_control->currentIndex();
}

int ComboBox::getCount() const {
    return m_control->count();
}

QString ComboBox::getText(int k) const {
    return (k >= 0 && k < m_control->count()) ? m_control->itemText(k) : QString();
}

void ComboBox::enableWindow(bool enable) {
    m_control->setEnabled(enable);
}

bool ComboBox::isWindowEnabled() const {
    return m_control->isEnabled();
}

}  // namespace karvel::ui
