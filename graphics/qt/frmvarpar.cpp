#include "graphics/qt/frmvarpar.h"

#include "app/prompter.h"
#include "data/forms/formhost.h"
#include "data/forms/qtext.h"
#include "graphics/varpar.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velta {

namespace {

const char* dialogName(VarDlg d) {
    switch (d) {
    case VarDlg::VarPar9: return "frmVarPar9";
    case VarDlg::VarPar1: return "frmVarPar1";
    case VarDlg::VarPar2: return "frmVarPar2";
    case VarDlg::VarPar: break;
    }
    return "frmVarPar";
}

template <typename T>
T* named(T* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QLineEdit* componentField(QGroupBox* frame, QVBoxLayout* box, const char* name, const char* label) {
    auto* row = new QHBoxLayout;
    auto* l = new QLabel(label, frame);
    auto* e = named(new QLineEdit(frame), name);
    e->setFixedWidth(90);
    l->setBuddy(e);
    row->addWidget(l);
    row->addWidget(e);
    row->addStretch();
    box->addLayout(row);
    return e;
}

}  // namespace

VarParDialog::VarParDialog(VarDlg kind, FormHost& host, std::function<void()> clearCanvas,
                           std::function<void()> reload3D, QWidget* parent)
    : QDialog(parent),
      kind_(kind),
      host_(host),
      clearCanvas_(std::move(clearCanvas)),
      reload3D_(std::move(reload3D)) {
    setObjectName(dialogName(kind));
    setWindowTitle(q(kVarParCaption));
    setModal(false);
    const bool full = kind == VarDlg::VarPar || kind == VarDlg::VarPar9;

    // Parameter fields.
    auto* params = named(new QGroupBox(this), "fraPar");
    auto* grid = new QGridLayout(params);
    int row = 0;
    for (const VarParField& f : varParFields(kind)) {
        auto* l = new QLabel(q(f.label), params);
        l->setObjectName(q("lbl" + f.name.substr(3)));
        auto* e = new QLineEdit(params);
        e->setObjectName(q(f.name));
        e->setFixedWidth(130);
        e->setReadOnly(!f.readBack);
        l->setBuddy(e);
        grid->addWidget(l, row, 0, Qt::AlignRight);
        grid->addWidget(e, row, 1);
        fields_.push_back(e);
        ++row;
    }
    grid->setRowStretch(row, 1);

    // Physical plane with the period switch.
    auto* fraPhys = named(new QGroupBox("Физическая плоскость", this), "fraPhys");
    auto* physBox = new QVBoxLayout(fraPhys);
    optPhys_ = named(new QRadioButton(" Физическая плоскость", fraPhys), "optPhys");
    physBox->addWidget(optPhys_);
    auto* fraPer = named(new QGroupBox("Вычисление периода", fraPhys), "fraPeriod");
    auto* perBox = new QHBoxLayout(fraPer);
    optPYe_ = named(new QRadioButton(" да", fraPer), "optPYe");
    optPNo_ = named(new QRadioButton(" нет", fraPer), "optPNo");
    perBox->addWidget(optPYe_);
    perBox->addWidget(optPNo_);
    physBox->addWidget(fraPer);

    // The plane (Xi1, Xi2).
    auto* fraPlane = named(new QGroupBox("Плоскость (Xi1,Xi2)", this), "fraPlane");
    auto* planeBox = new QVBoxLayout(fraPlane);
    optPhas_ = named(new QRadioButton(" Фазовая плоскость", fraPlane), "optPhas");
    planeBox->addWidget(optPhas_);
    if (full) {
        optPuan_ = named(new QRadioButton(" Плоскость Пуанкаре", fraPlane), "optPuan");
        planeBox->addWidget(optPuan_);
    }
    txtI1_I2_ = componentField(fraPlane, planeBox, "txtI1_I2", "i1,i2 =");

    // The space (Xi1, Xi2, Xi3).
    auto* fraSpace = named(new QGroupBox("Пространство (Xi1,Xi2,Xi3)", this), "fraSpace");
    auto* spaceBox = new QVBoxLayout(fraSpace);
    optPhas3_ = named(new QRadioButton(" Фазовое пространство", fraSpace), "optPhas3");
    spaceBox->addWidget(optPhas3_);
    if (full) {
        optPuan3_ = named(new QRadioButton(" Гиперплоскость Пуанкаре", fraSpace), "optPuan3");
        spaceBox->addWidget(optPuan3_);
        chkStereo_ = named(new QCheckBox(" Стерео-режим", fraSpace), "chkStereo");
        chkTE_ = named(new QCheckBox(" Ограничение по широте", fraSpace), "chkTE");
        spaceBox->addWidget(chkStereo_);
        spaceBox->addWidget(chkTE_);
    }
    txtI1_I2_I3_ = componentField(fraSpace, spaceBox, "txtI1_I2_I3", "i1,i2,i3 =");

    // One exclusive group across the frames; the period pair is a group of its own.
    kinds_ = new QButtonGroup(this);
    for (QRadioButton* b : {optPhys_, optPhas_, optPuan_, optPhas3_, optPuan3_})
        if (b) kinds_->addButton(b);
    period_ = new QButtonGroup(this);
    period_->addButton(optPYe_);
    period_->addButton(optPNo_);
    // Every toggle is stored, also the one that clears a button: the stored options are
    // always what the dialog shows.
    connect(kinds_, &QButtonGroup::buttonToggled, this, [this](QAbstractButton* b, bool on) {
        if (filling_) return;
        store();
        if (on) enableFor(b, true);
    });
    connect(period_, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (on && !filling_) store();
    });
    for (QCheckBox* c : {chkStereo_, chkTE_})
        if (c)
            connect(c, &QCheckBox::toggled, this, [this] {
                if (!filling_) store();
            });

    cmdVvod_ = named(new QPushButton("Ввод", this), "cmdVvod");
    auto* cmdCancel = named(new QPushButton("Отмена", this), "cmdCancel");
    auto* cmdSpravka = named(new QPushButton("Справка", this), "cmdSpravka");
    cmdVvod_->setDefault(true);
    connect(cmdVvod_, &QPushButton::clicked, this, &VarParDialog::cmdVvod_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &VarParDialog::cmdCancel_Click);
    connect(cmdSpravka, &QPushButton::clicked, this, &VarParDialog::cmdSpravka_Click);

    auto* options = new QVBoxLayout;
    options->addWidget(fraPhys);
    options->addWidget(fraPlane);
    options->addWidget(fraSpace);
    auto* top = new QHBoxLayout;
    top->addWidget(params);
    top->addLayout(options);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdVvod_, cmdCancel, cmdSpravka}) {
        b->setMinimumWidth(90);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addLayout(buttons);
    setFixedSize(sizeHint());
}

VarParOptions& VarParDialog::options() { return host_.shell().varpar[static_cast<std::size_t>(kind_)]; }

void VarParDialog::store() {
    VarParOptions& o = options();
    o.optPhys = optPhys_->isChecked();
    o.optPhas = optPhas_->isChecked();
    o.optPuan = optPuan_ && optPuan_->isChecked();
    o.optPhas3 = optPhas3_->isChecked();
    o.optPuan3 = optPuan3_ && optPuan3_->isChecked();
    o.optPYe = optPYe_->isChecked();
    o.optPNo = optPNo_->isChecked();
    if (chkStereo_) o.chkStereo = chkStereo_->isChecked();
    if (chkTE_) o.chkTE = chkTE_->isChecked();
}

QRadioButton* VarParDialog::chosen() const {
    for (QRadioButton* b : {optPhys_, optPhas_, optPuan_, optPhas3_, optPuan3_})
        if (b && b->isChecked()) return b;
    return nullptr;
}

void VarParDialog::enableFor(QAbstractButton* b, bool hideProgress) {
    const bool phys = b == optPhys_;
    const bool plane = b && (b == optPhas_ || b == optPuan_);
    const bool space = b && (b == optPhas3_ || b == optPuan3_);
    optPYe_->setEnabled(phys);
    optPNo_->setEnabled(phys);
    txtI1_I2_->setEnabled(plane);
    txtI1_I2_I3_->setEnabled(space);
    const auto& defs = varParFields(kind_);
    for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i]->setEnabled(!space || defs[i].scale);
    if (hideProgress && (phys || space)) host_.prompter().progressHide();
}

void VarParDialog::activate() {
    VarParOptions& o = options();
    // One picture kind at most is shown (the first stored one); the store follows.
    bool VarParOptions::*const order[] = {&VarParOptions::optPhys, &VarParOptions::optPhas,
                                          &VarParOptions::optPuan, &VarParOptions::optPhas3,
                                          &VarParOptions::optPuan3};
    QRadioButton* const buttons[] = {optPhys_, optPhas_, optPuan_, optPhas3_, optPuan3_};
    for (int i = 0; i < 5; ++i)
        if (o.*order[i]) {
            if (buttons[i]) o.choose(order[i]);
            else o.choose(&VarParOptions::optPhys);  // a kind this dialog does not have
            break;
        }
    filling_ = true;
    // An exclusive group cannot be emptied while one of its buttons is checked.
    kinds_->setExclusive(false);
    for (int i = 0; i < 5; ++i)
        if (buttons[i]) buttons[i]->setChecked(o.*order[i]);
    kinds_->setExclusive(true);
    optPYe_->setChecked(o.optPYe);
    optPNo_->setChecked(!o.optPYe);
    if (chkStereo_) chkStereo_->setChecked(o.chkStereo);
    if (chkTE_) chkTE_->setChecked(o.chkTE);
    filling_ = false;
    enableFor(chosen(), false);

    const Store& g = host_.store();
    const auto texts = varParTexts(g, kind_);
    for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(q(texts[i]));
    txtI1_I2_->setText(q(varParI1I2(g)));
    txtI1_I2_I3_->setText(q(varParI1I2I3(g)));
    cmdVvod_->setFocus();
}

void VarParDialog::cmdVvod_Click() {
    if (!cmdVvod_->isEnabled()) return;
    const VarParOptions& o = options();
    VarParInput in;
    for (QLineEdit* e : fields_) in.texts.push_back(e->text().toStdString());
    in.plot = o.optPhys ? VarPlot::Phys : (o.optPhas3 || o.optPuan3) ? VarPlot::Space : VarPlot::Plane;
    if (!o.optPhys && !o.optPhas && !o.optPuan && !o.optPhas3 && !o.optPuan3) in.plot = VarPlot::Phys;
    in.i1i2 = txtI1_I2_->text().toStdString();
    in.i1i2i3 = txtI1_I2_I3_->text().toStdString();
    const VarParResult r = varParAccept(host_.store(), kind_, in, host_.prompter());
    if (!r.accepted) return;  // message shown; the dialog stays open
    if (r.reload3D && reload3D_) reload3D_();
    // But_False unless the phase space is to be turned.
    if (!o.optPhas3) host_.shell().enable(Cmd::Turn, false);
    hide();
    if (clearCanvas_) clearCanvas_();
    host_.commandsChanged();
}

void VarParDialog::setInputEnabled(bool on) { cmdVvod_->setEnabled(on); }

void VarParDialog::cmdCancel_Click() {
    hide();
    if (clearCanvas_) clearCanvas_();
}

void VarParDialog::cmdSpravka_Click() { host_.showHelp(1001); }

// ---------------------------------------------------------------- the command

VarParDialogs::VarParDialogs(FormHost& host, std::function<void()> clearCanvas)
    : host_(host), clearCanvas_(std::move(clearCanvas)) {}

VarParDialogs::~VarParDialogs() = default;

VarParDialog* VarParDialogs::dialog(VarDlg d) {
    auto& slot = dialogs_[static_cast<std::size_t>(d)];
    if (!slot)
        slot = std::make_unique<VarParDialog>(
            d, host_, clearCanvas_,
            [this] {
                if (reload3D) reload3D();
            },
            host_.mainWidget());
    return slot.get();
}

void VarParDialogs::setInputEnabled(bool on) {
    for (auto& d : dialogs_)
        if (d) d->setInputEnabled(on);
}

void VarParDialogs::mnuVarPar_Click() {
    Shell& s = host_.shell();
    if (s.variesByQuestion()) {
        varParSection3(host_.store(), host_.prompter());
        return;
    }
    const int d = s.varDialogIndex();
    if (d < 0) return;
    VarParDialog* w = dialog(static_cast<VarDlg>(d));
    w->show();
    w->raise();
    w->activateWindow();
    w->activate();
}

}  // namespace velta
