// The variation dialogs frmVarPar, frmVarPar9, frmVarPar1 and frmVarPar2: parameter
// fields and plot options of the current section. The option buttons show and change the
// shell's option state; the fields are filled from the globals whenever the dialog is
// opened, and "Ввод" hands them to the core (graphics/varpar.h).
#pragma once
#include "app/shell.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velta {

class FormHost;

class VarParDialog : public QDialog {
    Q_OBJECT
public:
    // clearCanvas clears the main window's picture; reload3D (may be empty) rebuilds the
    // 3D box and reads the phase-space points again after the parameters changed.
    VarParDialog(VarDlg kind, FormHost& host, std::function<void()> clearCanvas,
                 std::function<void()> reload3D, QWidget* parent);

    VarDlg kind() const { return kind_; }
    // Form_Activate: options from the shell, fields from the globals, focus on "Ввод".
    void activate();

    void cmdVvod_Click();
    void cmdCancel_Click();
    // "Ввод" is off while a computation runs: it would clear the canvas under the curves.
    void setInputEnabled(bool on);
    void cmdSpravka_Click();

private:
    VarParOptions& options();
    // Option buttons and check boxes into the shell's state.
    void store();
    // Enables the fields for the chosen option; hides the progress bar where the table says.
    void enableFor(QAbstractButton* chosen, bool hideProgress);
    QRadioButton* chosen() const;

    VarDlg kind_;
    FormHost& host_;
    std::function<void()> clearCanvas_;
    std::function<void()> reload3D_;

    std::vector<QLineEdit*> fields_;  // in the order of varParFields(kind_)
    QRadioButton *optPhys_ = nullptr, *optPYe_ = nullptr, *optPNo_ = nullptr, *optPhas_ = nullptr,
                 *optPuan_ = nullptr, *optPhas3_ = nullptr, *optPuan3_ = nullptr;
    QCheckBox *chkStereo_ = nullptr, *chkTE_ = nullptr;
    QLineEdit *txtI1_I2_ = nullptr, *txtI1_I2_I3_ = nullptr;
    QPushButton* cmdVvod_ = nullptr;
    QButtonGroup* kinds_ = nullptr;
    QButtonGroup* period_ = nullptr;
    bool filling_ = false;
};

// "В&арьирование параметров": the four dialogs, created on first use and then only hidden.
class VarParDialogs {
public:
    VarParDialogs(FormHost& host, std::function<void()> clearCanvas);
    ~VarParDialogs();

    // mnuVarPar_Click: the dialog of the current section, or section 3's input box.
    void mnuVarPar_Click();
    VarParDialog* dialog(VarDlg d);
    // "Ввод" of every dialog on or off (off for the length of a run).
    void setInputEnabled(bool on);

    // Rebuilds the 3D box and rereads the phase-space points; set by the 3D picture.
    std::function<void()> reload3D;

private:
    FormHost& host_;
    std::function<void()> clearCanvas_;
    std::array<std::unique_ptr<VarParDialog>, 4> dialogs_;
};

}  // namespace velta
