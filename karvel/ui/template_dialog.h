// SPDX-License-Identifier: MIT
// A dialog built from a numbered template: its controls are created from the template's
// data at their dialog-unit rectangles, addressed by control id, and exchanged with members
// through DoDataExchange. Modal runs go through the modal seam, so tests can answer them.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>

#include "ui/dialog_controls.h"
#include "ui/dialog_template.h"
#include "ui/dialog_units.h"

namespace karvel::ui {

class DataExchange;

class TemplateDialog : public QDialog, public DialogControls {
    Q_OBJECT

public:
    explicit TemplateDialog(int templateId, QWidget* parent = nullptr);

    // Creates the window if needed and runs it modally; returns kIdOk or kIdCancel.
    int DoModal();
    // Creates the window and shows it without waiting (a modeless box); returns OnInitDialog's
    // answer.
    bool CreateModeless();
    // Builds the controls and runs OnInitDialog, once; returns OnInitDialog's answer.
    bool createWindow();
    bool isCreated() const { return m_created; }

    // Returns control id, or null when the template has no such control.
    QWidget* item(int id) const override;
    void setItemText(int id, const QString& text) override;
    QString itemText(int id) const override;

    // Moves members to controls (false) or reads and validates them (true); returns false
    // when a field failed.
    bool UpdateData(bool saveAndValidate);
    // Marks the whole dialog for repainting without erasing.
    void Invalidate();
    // Centres the dialog over its owner (the screen when it has none).
    void centreOverOwner();
    // Ends a modal or modeless run with result.
    void endDialog(int result);

    int templateId() const { return m_templateId; }
    const DialogBaseUnits& baseUnits() const { return m_units; }
    // Returns the pixel rectangle of a dialog-unit rectangle, in this dialog's coordinates.
    QRect mapDialogRect(const QRect& du) const;

    // What OK and Cancel (Escape, closing the window) do; public so tests press them.
    virtual void OnOK();
    virtual void OnCancel();

protected:
    // Default: UpdateData(false); returns true (the framework then sets the focus).
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    // Returns the icon that an icon control of the template names by number. The toolkit has
    // no icons of its own: a dialog whose template shows one gives the program's icon here.
    // Default: none (the control stays empty).
    virtual QIcon templateIcon(int id) const;
    // Pixels above the template's area, for a dialog that draws a bar of its own there.
    void setTopInset(int pixels) { m_topInset = pixels; }
    int topInset() const { return m_topInset; }

    void reject() override;
    void accept() override;

private:
    void buildControls();

    int m_templateId;
    DialogBaseUnits m_units;
    int m_topInset = 0;
    bool m_created = false;
    bool m_initResult = false;
};

// Returns the object name given to control id ("control1000"), for findChild.
QString controlObjectName(int id);

}  // namespace karvel::ui
