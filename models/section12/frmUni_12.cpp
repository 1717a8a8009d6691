#include "models/section12/frmUni_12.h"

#include "data/forms/qtext.h"

#include <algorithm>

namespace velta {

namespace {

constexpr int kRow = 26;

}  // namespace

frmUni_12::frmUni_12(FormHost& host)
    : DelayForm(host, 12, QStringLiteral("Симметричные ГГС\\Система уравнений с запаздываниями"), 4) {
    // ---- sheet 1: the network and the delay equations
    const int lw1 = 420;
    int y = 8;
    addLabel(1, 10, y, QStringLiteral("1) Параметры модели  M(NDIM,KMOD) классов 1-4"));
    txtMclass = addField(1, 20, y += 28, lw1, QStringLiteral("Номер класса,  MCLASS ="),
                         QStringLiteral("txtMclass"));
    txtNdim = addField(1, 20, y += kRow, lw1, QStringLiteral("Число элементов ГГС,  NDIM ="),
                       QStringLiteral("txtNdim"));
    txtKmod = addField(1, 20, y += kRow, lw1,
                       QStringLiteral("Число элементов, объединенных регуляторными связями,  KMOD ="),
                       QStringLiteral("txtKmod"));
    txtAlfa = addField(1, 20, y += kRow, lw1, QStringLiteral(" ALFA ="), QStringLiteral("txtAlfa"));
    txtBeta = addField(1, 20, y += kRow, lw1, QStringLiteral(" BETA ="), QStringLiteral("txtBeta"));
    txtGama = addField(1, 20, y += kRow, lw1, QStringLiteral(" GAMA ="), QStringLiteral("txtGama"));
    addDelayBlock(y + 48, lw1);
    addDelaySheets();
}

void frmUni_12::fillFields() {
    const Sec12::Fields f = Sec12::fieldsFromStore(host_.store());
    txtMclass->setText(q(f.mclass));
    txtNdim->setText(q(f.ndim));
    txtKmod->setText(q(f.kmod));
    showDelayFields(f);
}

void frmUni_12::Tabl1_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = std::max<int>(g.LTAU, 0);
    showTauGrid(Sec12::tauGrid(g.TAU, n, zeros), n);
}

void frmUni_12::fillGrids(bool zeros) { Tabl1_Dspl(zeros); }

void frmUni_12::setDimension(i16 n) { host_.store().LTAU = n; }

Sec12::Fields frmUni_12::currentFields() const {
    Sec12::Fields f;
    f.mclass = s(txtMclass);
    f.ndim = s(txtNdim);
    f.kmod = s(txtKmod);
    readDelayFields(f);
    return f;
}

// A file that its reading or the computation would refuse is not written; the window
// stays open with the texts as typed.
void frmUni_12::writeDataFile(const std::string& path) {
    const Sec12::Fields f = currentFields();
    Sec12::checkFields(f);
    Sec12::Table_File(host_.store(), path, f);
}

}  // namespace velta
