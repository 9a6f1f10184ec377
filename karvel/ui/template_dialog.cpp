// SPDX-License-Identifier: MIT
#include "ui/template_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "ui/data_exchange.h"
#include "ui/dialog_template.h"
#include "ui/modal_services.h"

namespace karvel::ui {

QString controlObjectName(int id) {
    return QStringLiteral("control%1").arg(id);
}

TemplateDialog::TemplateDialog(int templateId, QWidget* parent)
    : QDialog(parent), m_templateId(templateId) {
    setFont(dialogFont());
    m_units = dialogBaseUnits(font());
}

QIcon TemplateDialog::templateIcon(int /*id*/) const {
    return {};
}

QRect TemplateDialog::mapDialogRect(const QRect& du) const {
    return dialogUnitsToPixels(du, m_units).translated(0, m_topInset);
}

int TemplateDialog::DoModal() {
    createWindow();
    return modalServices().runDialog(*this);
}

bool TemplateDialog::CreateModeless() {
    const bool result = createWindow();
    show();
    return result;
}

bool TemplateDialog::createWindow() {
    if (m_created)
        return m_initResult;
    m_created = true;
    buildControls();
    m_initResult = OnInitDialog();
    return m_initResult;
}

void TemplateDialog::buildControls() {
    const DialogTemplate* tmpl = findDialogTemplate(m_templateId);
    if (!tmpl)
        return;
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (tmpl->style & kCaption)
        flags |= Qt::WindowTitleHint;
    else
        flags |= Qt::FramelessWindowHint;
    if (tmpl->style & kSystemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (tmpl->style & kMinimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setWindowTitle(QString::fromUtf8(tmpl->title));

    QList<QWidget*> frames;
    for (const ControlTemplate& c : tmpl->controls) {
        const QString text = QString::fromUtf8(c.text);
        QWidget* widget = nullptr;
        switch (c.kind) {
        case ControlKind::pushButton:
        case ControlKind::defaultPushButton: {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(true);
            button->setDefault(c.kind == ControlKind::defaultPushButton);
            if (c.id == kIdOk)
                connect(button, &QPushButton::clicked, this, [this] { OnOK(); });
            else if (c.id == kIdCancel)
                connect(button, &QPushButton::clicked, this, [this] { OnCancel(); });
            widget = button;
            break;
        }
        case ControlKind::listBox: {
            auto* list = new QListWidget(this);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            list->setFrameShape(QFrame::Box);
            widget = list;
            break;
        }
        case ControlKind::comboBox: {
            auto* combo = new QComboBox(this);
            combo->setEditable(false);
            widget = combo;
            break;
        }
        case ControlKind::staticText:
        case ControlKind::staticRight:
        case ControlKind::staticCentre: {
            auto* label = new QLabel(text, this);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            Qt::Alignment align = Qt::AlignTop;
            align |= c.kind == ControlKind::staticRight    ? Qt::AlignRight
                     : c.kind == ControlKind::staticCentre ? Qt::AlignHCenter
                                                           : Qt::AlignLeft;
            label->setAlignment(align);
            widget = label;
            break;
        }
        case ControlKind::groupBox:
            widget = new QGroupBox(text, this);
            frames << widget;
            break;
        case ControlKind::editBox:
            widget = new QLineEdit(text, this);
            break;
        case ControlKind::iconImage: {
            auto* label = new QLabel(this);
            label->setPixmap(templateIcon(text.toInt()).pixmap(32, 32));
            widget = label;
            break;
        }
        }
        if (c.id != kNoControlId)
            widget->setObjectName(controlObjectName(c.id));
        widget->setProperty("controlId", c.id);
        QRect rect = mapDialogRect(QRect(c.x, c.y, c.width, c.height));
        // A combo box's template height is that of its dropped list; the box is one row high.
        if (c.kind == ControlKind::comboBox)
            rect.setHeight(std::min(rect.height(), widget->sizeHint().height()));
        // An icon keeps its own size, as it does in a template.
        if (c.kind == ControlKind::iconImage)
            rect.setSize(QSize(32, 32));
        widget->setGeometry(rect);
    }
    // Frames are drawn beneath the controls they surround.
    for (QWidget* frame : frames)
        frame->lower();

    const QSize size = dialogUnitsToPixels(QRect(0, 0, tmpl->width, tmpl->height), m_units).size();
    setFixedSize(size.width(), size.height() + m_topInset);
    if (!parentWidget()) {
        const QRect at = dialogUnitsToPixels(QRect(tmpl->x, tmpl->y, 0, 0), m_units);
        move(at.topLeft());
    }
}

QWidget* TemplateDialog::item(int id) const {
    return findChild<QWidget*>(controlObjectName(id), Qt::FindDirectChildrenOnly);
}

void TemplateDialog::setItemText(int id, const QString& text) {
    QWidget* widget = item(id);
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
}

QString TemplateDialog::itemText(int id) const {
    QWidget* widget = item(id);
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    return {};
}

bool TemplateDialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.failed();
}

void TemplateDialog::Invalidate() {
    update();
}

void TemplateDialog::centreOverOwner() {
    QRect over;
    if (QWidget* owner = parentWidget())
        over = owner->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        over = screen->availableGeometry();
    if (over.isValid())
        move(over.center() - rect().center());
}

void TemplateDialog::endDialog(int result) {
    done(result);
}

bool TemplateDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void TemplateDialog::DoDataExchange(DataExchange&) {}

void TemplateDialog::OnOK() {
    if (!UpdateData(true))
        return;  // the failing field keeps the dialog open
    endDialog(kIdOk);
}

void TemplateDialog::OnCancel() {
    endDialog(kIdCancel);
}

void TemplateDialog::reject() {
    OnCancel();
}

void TemplateDialog::accept() {
    OnOK();
}

}  // namespace karvel::ui
