#include "models/section22/frmUni_22.h"

#include <algorithm>

namespace velta {

frmUni_22::frmUni_22(FormHost& host)
    : DelayForm(host, 22, QStringLiteral("ГГС общего вида\\Система уравнений с запаздываниями"), 4) {
    // ---- sheet 1: the model and the delay equations
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели ГГС классов 1-4"));
    const int y = addKeyRows(1, 20, 36, 300, Sec22::keys(1), 1, fields_);
    addDelayBlock(y + 48, 300, Sec22::keys(2), fields_);
    addDelaySheets(fields_);
}

void frmUni_22::fillFields() { showTexts(fields_, Sec22::fieldsFromStore(host_.store())); }

void frmUni_22::Tabl1_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = std::max<int>(g.LTAU, 0);
    // Values beyond the delay vector (a larger LTAU typed in) are shown as "0".
    const bool z = zeros || n > g.TAU.upper();
    showTauGrid(Sec22::tauGrid(g.TAU, n, z), n);
}

void frmUni_22::fillGrids(bool zeros) { Tabl1_Dspl(zeros); }

void frmUni_22::setDimension(i16 n) { host_.store().LTAU = n; }

Sec22::Fields frmUni_22::currentFields() const {
    Sec22::Fields f;
    readTexts(fields_, f);
    f.tau = grdTable1->text();
    return f;
}

// What the reading or the run would refuse is not written.
void frmUni_22::writeDataFile(const std::string& path) {
    const auto f = currentFields();
    Store& g = host_.store();
    checkByReading(
        path, [&](const std::string& p) { Sec22::Table_File(g, p, f); },
        [this, &g] { dynamic_cast<Sec22&>(*core()).checkLimits(g); });
    Sec22::Table_File(g, path, f);
}

}  // namespace velta
