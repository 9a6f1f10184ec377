// SPDX-License-Identifier: MIT
#include "ui/list_box.h"

#include <QItemSelectionModel>
#include <QListWidget>

namespace karvel::ui {

void ListBox::attach(QListWidget* control) {
    m_control = control;
    m_control->setSelectionMode(QAbstractItemView::SingleSelection);
    m_control->setSortingEnabled(false);
}

void ListBox::resetContent() {
    m_control->clear();
}

int ListBox::addString(const QString& text) {
    m_control->addItem(text);
    return m_control->count() - 1;
}

int ListBox::insertString(int k, const QString& text) {
    if (k < 0 || k > m_control->count())
        return -1;
    m_control->insertItem(k, text);
    return k;
}

int ListBox::deleteString(int k) {
    if (k < 0 || k >= m_control->count())
        return -1;
    // Deleting the selected row leaves nothing selected, as the dialog expects of a list box;
    // Qt's view would move its current row, and with it the selection, to a neighbour.
    if (m_control->currentRow() == k)
        m_control->selectionModel()->clearCurrentIndex();
    delete m_control->takeItem(k);
    return m_control->count();
}

int ListBox::setCurSel(int k) {
    if (k < 0 || k >= m_control->count()) {
        m_control->clearSelection();
        m_control->setCurrentRow(-1);
        return -1;
    }
    m_control->setCurrentRow(k, QItemSelectionModel::ClearAndSelect);
    return k;
}

int ListBox::getCurSel() const {
    const QList<QListWidgetItem*> selected = m_control->selectedItems();
    return selected.isEmpty() ? -1 : m_control->row(selected.front());
}

int ListBox::getCount() const {
    return m_control->count();
}

QString ListBox::getText(int k) const {
    const QListWidgetItem* item = m_control->item(k);
    return item ? item->text() : QString();
}

}  // namespace karvel::ui
