#include "synthesis/section512/frmUni_512.h"

#include <algorithm>

namespace velta {

namespace {

constexpr int kLabel1 = 300;  // label width of the fields of sheet 1

}  // namespace

// ---------------------------------------------------------------- shared sheets

SyzDelayForm::SyzDelayForm(FormHost& host, int code, const QString& caption)
    : DelayForm(host, code, caption, 4) {}

void SyzDelayForm::buildDelaySheets(int y, const QString& tetaLabel, bool withSystemLines) {
    // TETA is the value line of a list, not a key of the file.
    delayFields_.push_back(
        {addField(1, 20, y, kLabel1, tetaLabel, QStringLiteral("txtTeta")), &SyzFields::teta});
    addDelayBlock(y + 48, kLabel1, Sec512::delayKeys(), delayFields_);
    addDelaySheets(delayFields_, false, withSystemLines);
}

void SyzDelayForm::Tabl1_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = std::max<int>(g.LTAU, 0);
    // Values beyond the delay vector (a larger LTAU typed in) are shown as "0".
    const bool z = zeros || n > g.TAU.upper();
    showTauGrid(Sec512::tauGrid(g.TAU, n, z), n);
}

void SyzDelayForm::setDimension(i16 n) { host_.store().LTAU = n; }

void SyzDelayForm::readDelayFields(SyzFields& f) const {
    readTexts(delayFields_, f);
    f.tau = grdTable1->text();
}

// ---------------------------------------------------------------- section 5.1.2

frmUni_512::frmUni_512(FormHost& host)
    : SyzDelayForm(host, 512, QStringLiteral("Синтез\\Кодирование одним ГЭ\\Уравнение с запаздыванием")) {
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели"));
    const int y = addKeyRows(1, 20, 36, kLabel1, Sec512::keys(), 1, fields_);
    buildDelaySheets(y + kRow, QStringLiteral("TETA ="), false);
}

void frmUni_512::fillFields() {
    const Sec512::Fields f = Sec512::fieldsFromStore(host_.store());
    showTexts(fields_, f);
    fillDelayFields(f);
}

Sec512::Fields frmUni_512::currentFields() const {
    Sec512::Fields f;
    readTexts(fields_, f);
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
