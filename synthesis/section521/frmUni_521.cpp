#include "synthesis/section521/frmUni_521.h"

namespace velta {

frmUni_521::frmUni_521(FormHost& host)
    : SheetForm(host, 521, QStringLiteral("Синтез\\Кодирование двумя ГЭ\\Автономная система"), 3) {
    // ---- sheet 1: the model and the initial data
    const int lw1 = 300;
    addLabel(1, 10, 8, QStringLiteral("1) Параметры математической модели."));
    addNotes(1, 48, 30,
             {QStringLiteral("Число уравнений системы"), QStringLiteral("NDIM = NDIM1 + NDIM2 - 1")});
    int y = addRows(1, 30 + kLine + 30, lw1,
                    {{txtNdim1_Ndim2, "NDIM1, NDIM2 =", "txtNdim1_Ndim2"},
                     {txtAlfa, " ALFA =", "txtAlfa"},
                     {txtBeta1_Beta2, " BETA1, BETA2 =", "txtBeta1_Beta2"},
                     {txtGama1_Gama2, " GAMA1, GAMA2 =", "txtGama1_Gama2"},
                     {txtTau1_Tau2, "TAU1, TAU2 =", "txtTau1_Tau2"},
                     {txtTeta, " TETA =", "txtTeta"}});
    addLabel(1, 10, y += 44, QStringLiteral("2) Начальные данные:  X(i) = 0, i = 1,...,NDIM."));
    addNotes(1, 48, y += 22,
             {QStringLiteral("Варианты задания начальных данных:"),
              QStringLiteral("IND = 0 - \"возмущенное\" стационарное решение,"),
              QStringLiteral("IND = 1 - нулевые начальные данные.")});
    addRows(1, y + 2 * kLine + 30, lw1,
            {{txtIND, "IND =", "txtIND"},
             {txtX_Ndim, "\"Возмущение\" компоненты  X(NDIM),  X_NDIM =", "txtX_Ndim"}});

    run_ = addRunSheet(2, 3, {500, {}, twoPlaneNotes(), 0, {}});
    y = addPlotList(3, 6, txtI1G);
    scale_ = addScaleBlocks(3, y, 7, 380, alfaBounds());
}

std::vector<FieldText<Sec521::Fields>> frmUni_521::texts() const {
    using F = Sec521::Fields;
    return {{txtNdim1_Ndim2, &F::ndim12},
            {txtAlfa, &F::alfa},
            {txtBeta1_Beta2, &F::beta12},
            {txtGama1_Gama2, &F::gama12},
            {txtTau1_Tau2, &F::tau12},
            {txtTeta, &F::teta},
            {txtIND, &F::ind},
            {txtX_Ndim, &F::xndim},
            {txtI1G, &F::i1g}};
}

void frmUni_521::fillFields() {
    const Sec521::Fields f = Sec521::fieldsFromStore(host_.store());
    showTexts(texts(), f);
    run_.show(f);
    scale_.show(f);
}

Sec521::Fields frmUni_521::currentFields() const {
    Sec521::Fields f;
    readTexts(texts(), f);
    run_.read(f);
    scale_.read(f);
    return f;
}

}  // namespace velta
