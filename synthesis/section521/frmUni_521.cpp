#include "synthesis/section521/frmUni_521.h"

namespace velta {

using F = Sec521::Fields;

frmUni_521::frmUni_521(FormHost& host)
    : SheetForm(host, 521, QStringLiteral("Синтез\\Кодирование двумя ГЭ\\Автономная система"), 3) {
    // ---- sheet 1: the model and the initial data
    const int lw1 = 300;
    addLabel(1, 10, 8, QStringLiteral("1) Параметры математической модели."));
    addNotes(1, 48, 30,
             {QStringLiteral("Число уравнений системы"), QStringLiteral("NDIM = NDIM1 + NDIM2 - 1")});
    // The pairs are lines of the file, not keys: their fields are placed here.
    const auto pair = [&](int y, const char* label, const char* name, std::string F::*text) {
        fields_.push_back({addField(1, 20, y, lw1, QString::fromUtf8(label), QString::fromUtf8(name)), text});
    };
    int y = 30 + kLine + 30;
    pair(y, "NDIM1, NDIM2 =", "txtNdim1_Ndim2", &F::ndim12);
    addKeyRows(1, 20, y += kRow, lw1, Sec521::alfaKeys(), 0, fields_);
    pair(y += kRow, " BETA1, BETA2 =", "txtBeta1_Beta2", &F::beta12);
    pair(y += kRow, " GAMA1, GAMA2 =", "txtGama1_Gama2", &F::gama12);
    pair(y += kRow, "TAU1, TAU2 =", "txtTau1_Tau2", &F::tau12);
    addKeyRows(1, 20, y += kRow, lw1, Sec521::tetaKeys(), 0, fields_);
    addLabel(1, 10, y += 44, QStringLiteral("2) Начальные данные:  X(i) = 0, i = 1,...,NDIM."));
    addNotes(1, 48, y += 22,
             {QStringLiteral("Варианты задания начальных данных:"),
              QStringLiteral("IND = 0 - \"возмущенное\" стационарное решение,"),
              QStringLiteral("IND = 1 - нулевые начальные данные.")});
    addKeyRows(1, 20, y + 2 * kLine + 30, lw1, Sec521::startKeys(), 2, fields_);

    run_ = addRunSheet(2, 3, {500, {}, twoPlaneNotes(), 0, {}});
    QLineEdit* i1g = nullptr;
    y = addPlotList(3, 6, i1g);
    fields_.push_back({i1g, &F::i1g});
    scale_ = addScaleBlocks(3, y, 7, 380, alfaBounds());
}

void frmUni_521::fillFields() {
    const Sec521::Fields f = Sec521::fieldsFromStore(host_.store());
    showTexts(fields_, f);
    run_.show(f);
    scale_.show(f);
}

Sec521::Fields frmUni_521::currentFields() const {
    Sec521::Fields f;
    readTexts(fields_, f);
    run_.read(f);
    scale_.read(f);
    return f;
}

}  // namespace velta
