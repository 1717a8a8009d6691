#include "models/section12/frmUni_12.h"

#include <algorithm>

namespace velta {

frmUni_12::frmUni_12(FormHost& host)
    : DelayForm(host, 12, QStringLiteral("Симметричные ГГС\\Система уравнений с запаздываниями"), 4) {
    // ---- sheet 1: the network and the delay equations
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели  M(NDIM,KMOD) классов 1-4"));
    const int y = addKeyRows(1, 20, 36, 420, Sec12::keys(1), 1, fields_);
    addDelayBlock(y + 48, 420, Sec12::keys(2), fields_);
    addDelaySheets(fields_);
}

void frmUni_12::fillFields() { showTexts(fields_, Sec12::fieldsFromStore(host_.store())); }

void frmUni_12::Tabl1_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = std::max<int>(g.LTAU, 0);
    showTauGrid(Sec12::tauGrid(g.TAU, n, zeros), n);
}

void frmUni_12::fillGrids(bool zeros) { Tabl1_Dspl(zeros); }

void frmUni_12::setDimension(i16 n) { host_.store().LTAU = n; }

Sec12::Fields frmUni_12::currentFields() const {
    Sec12::Fields f;
    readTexts(fields_, f);
    f.tau = grdTable1->text();
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
