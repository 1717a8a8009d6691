#include "models/section22/frmUni_22.h"

#include <algorithm>

namespace velta {

namespace {

constexpr int kRow = 26;

}  // namespace

frmUni_22::frmUni_22(FormHost& host)
    : DelayForm(host, 22, QStringLiteral("ГГС общего вида\\Система уравнений с запаздываниями"), 4) {
    // ---- sheet 1: the model and the delay equations
    const int lw1 = 300;
    int y = 8;
    addLabel(1, 10, y, QStringLiteral("1) Параметры модели ГГС классов 1-4"));
    txtAlfa = addField(1, 20, y += 28, lw1, QStringLiteral(" ALFA ="), QStringLiteral("txtAlfa"));
    txtBeta = addField(1, 20, y += kRow, lw1, QStringLiteral(" BETA ="), QStringLiteral("txtBeta"));
    txtGama = addField(1, 20, y += kRow, lw1, QStringLiteral(" GAMA ="), QStringLiteral("txtGama"));
    addDelayBlock(y + 48, lw1);
    addDelaySheets();
}

void frmUni_22::fillFields() {
    const Sec22::Fields f = Sec22::fieldsFromStore(host_.store());
    showDelayFields(f);
}

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
    readDelayFields(f);
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
