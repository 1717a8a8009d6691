#include "synthesis/section512/frmUni_512.h"

#include "data/forms/qtext.h"

#include <algorithm>

namespace velta {

namespace {

constexpr int kRow = 26;
constexpr int kLabel1 = 300;  // label width of the fields of sheet 1

}  // namespace

// ---------------------------------------------------------------- shared sheets

SyzDelayForm::SyzDelayForm(FormHost& host, int code, const QString& caption)
    : DelayForm(host, code, caption, 4) {}

void SyzDelayForm::buildDelaySheets(int y, bool withSystemLines) {
    addDelayBlock(y, kLabel1, false);
    addDelaySheets(false, withSystemLines);
}

void SyzDelayForm::Tabl1_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = std::max<int>(g.LTAU, 0);
    // Values beyond the delay vector (a larger LTAU typed in) are shown as "0".
    const bool z = zeros || n > g.TAU.upper();
    showTauGrid(Sec512::tauGrid(g.TAU, n, z), n);
}

void SyzDelayForm::setDimension(i16 n) { host_.store().LTAU = n; }

void SyzDelayForm::fillDelayFields(const SyzFields& f) {
    txtTeta->setText(q(f.teta));
    txtMDIM->setText(q(f.mdim));
    txtLTAU->setText(q(f.ltau));
    txtTmax->setText(q(f.tmax));
    txtNDEL->setText(q(f.ndel));
    txtIND->setText(q(f.ind));
    txtZ_1->setText(q(f.z_1));
    txtI1G->setText(q(f.i1g));
    txtNsc->setText(q(f.nsc));
    txtDlx->setText(q(f.dlx));
    txtDrx->setText(q(f.drx));
    txtSCLT->setText(q(f.sclt));
}

void SyzDelayForm::readDelayFields(SyzFields& f) const {
    f.teta = s(txtTeta);
    f.mdim = s(txtMDIM);
    f.ltau = s(txtLTAU);
    f.tau = grdTable1->text();
    f.tmax = s(txtTmax);
    f.ndel = s(txtNDEL);
    f.ind = s(txtIND);
    f.z_1 = s(txtZ_1);
    f.i1g = s(txtI1G);
    f.nsc = s(txtNsc);
    f.dlx = s(txtDlx);
    f.drx = s(txtDrx);
    f.sclt = s(txtSCLT);
}

// ---------------------------------------------------------------- section 5.1.2

frmUni_512::frmUni_512(FormHost& host)
    : SyzDelayForm(host, 512, QStringLiteral("Синтез\\Кодирование одним ГЭ\\Уравнение с запаздыванием")) {
    int y = 8;
    addLabel(1, 10, y, QStringLiteral("1) Параметры модели"));
    txtAlfa = addField(1, 20, y += 28, kLabel1, QStringLiteral(" ALFA ="), QStringLiteral("txtAlfa"));
    txtBeta = addField(1, 20, y += kRow, kLabel1, QStringLiteral(" BETA ="), QStringLiteral("txtBeta"));
    txtGama = addField(1, 20, y += kRow, kLabel1, QStringLiteral(" GAMA ="), QStringLiteral("txtGama"));
    txtTeta = addField(1, 20, y += kRow, kLabel1, QStringLiteral("TETA ="), QStringLiteral("txtTeta"));
    buildDelaySheets(y + 48, false);
}

void frmUni_512::fillFields() {
    const Sec512::Fields f = Sec512::fieldsFromStore(host_.store());
    txtAlfa->setText(q(f.alfa));
    txtBeta->setText(q(f.beta));
    txtGama->setText(q(f.gama));
    fillDelayFields(f);
}

Sec512::Fields frmUni_512::currentFields() const {
    Sec512::Fields f;
    f.alfa = s(txtAlfa);
    f.beta = s(txtBeta);
    f.gama = s(txtGama);
    readDelayFields(f);
    return f;
}

// What the reading or the run would refuse is not written.
void frmUni_512::writeDataFile(const std::string& path) {
    const auto f = currentFields();
    checkByReading(
        path, [&](const std::string& p) { Sec512::Table_File(host_.store(), p, f); },
        [this] { dynamic_cast<Sec512&>(*core()).checkLimits(host_.store()); });
    Sec512::Table_File(host_.store(), path, f);
}

}  // namespace velta
