// SPDX-License-Identifier: MIT
// Typing into and pressing the controls of a template dialog as the operator does, through
// real key and mouse events.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QtTest/QTest>

#include "ui/template_dialog.h"

namespace karvel::test {

// Types text into edit box id of dialog, replacing what it holds.
inline void typeInto(ui::TemplateDialog& dialog, int id, const QString& text) {
    auto* edit = dialog.itemAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << id;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Clicks push button id of dialog.
inline void press(ui::TemplateDialog& dialog, int id) {
    auto* button = dialog.itemAs<QPushButton>(id);
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace karvel::test
