#include "synthesis/section511/frmUni_511.h"

namespace velta {

frmUni_511::frmUni_511(FormHost& host)
    : SheetForm(host, 511, QStringLiteral("Синтез\\Кодирование одним ГЭ\\Автономная система   "), 3) {
    // ---- sheet 1: the model and the initial data
    const int lw1 = 300;
    addLabel(1, 10, 8, QStringLiteral("1) Параметры математической модели"));
    int y = addRows(1, 36, lw1,
                    {{txtNdim, "Число уравнений системы,  NDIM =", "txtNdim"},
                     {txtAlfa, " ALFA =", "txtAlfa"},
                     {txtBeta, " BETA =", "txtBeta"},
                     {txtGama, " GAMA =", "txtGama"},
                     {txtTeta, " TETA =", "txtTeta"},
                     {txtOmeg, " OMEG =", "txtOmeg"},
                     {txtTau1, " TAU1 =", "txtTau1"},
                     {txtTau2, "TAU2 =", "txtTau2"}});
    addLabel(1, 10, y += 44, QStringLiteral("2) Варианты задания начальных данных:"));
    addNotes(1, 48, y += 22,
             {QStringLiteral("IND = 0 - \"возмущенное\" стационарное решение,"),
              QStringLiteral("IND = 1 - \"возмущенное\" нулевое решение.")});
    addRows(1, y + kLine + 30, lw1,
            {{txtIND, "IND =", "txtIND"},
             {txtX_Ndim, "\"Возмущение\" компоненты  X(NDIM),  X_NDIM =", "txtX_Ndim"},
             {txtX_1, "\"Возмущение\" компоненты  X(1),  X_1 =", "txtX_1"}});

    run_ = addRunSheet(2, 3, {500, periodNotes(), twoPlaneNotes(), 0, {}});

    // ---- sheet 3: plotted components, table density, plot bounds
    const int lw3 = 200;
    y = addPlotList(3, 6, txtI1G, 48,
                    {QStringLiteral("(NCOMP <= 12"), QStringLiteral("NCOMP <= NDIM при LGRAPH = 1"),
                     QStringLiteral("NCOMP  = 2    при LGRAPH = 2)")},
                    true);
    addLabel(3, 10, y, QStringLiteral("7) Плотность таблицы выдачи результатов:"));
    y = addRows(3, y + 28, lw3,
                {{txtNss, "- стационарное решение,  NSS =", "txtNss"},
                 {txtNsc, "- решение задачи Коши,   NSC =", "txtNsc"}});
    addLabel(3, 10, y += kRow + 30, QStringLiteral("8) Границы интервалов для графиков:"));
    addRows(3, y += 28, lw3,
            {{txtSclx, "SCLX =", "txtSclx"},
             {txtScrx, "SCRX =", "txtScrx"},
             {txtSclw, "SCLW =", "txtSclw"},
             {txtScrw, "SCRW =", "txtScrw"},
             {txtSclt, "SCLT =", "txtSclt"}});
    // The bounds line up on their "<=" signs in a fixed-pitch font.
    addBoundLines(3, 420, y + 14,
                  {{QStringLiteral("SCLX <= X(i) <= SCRX"), QStringLiteral("SCLW <=  W   <= SCRW"),
                    QStringLiteral("SCLT <=  t   <= TMAX")},
                   {}});
}

std::vector<FieldText<Sec511::Fields>> frmUni_511::texts() const {
    using F = Sec511::Fields;
    return {{txtNdim, &F::ndim}, {txtAlfa, &F::alfa},    {txtBeta, &F::beta}, {txtGama, &F::gama},
            {txtTeta, &F::teta}, {txtOmeg, &F::omeg},    {txtTau1, &F::tau1}, {txtTau2, &F::tau2},
            {txtIND, &F::ind},   {txtX_Ndim, &F::xndim}, {txtX_1, &F::x1},    {txtI1G, &F::i1g},
            {txtNss, &F::nss},   {txtNsc, &F::nsc},      {txtSclx, &F::sclx}, {txtScrx, &F::scrx},
            {txtSclw, &F::sclw}, {txtScrw, &F::scrw},    {txtSclt, &F::sclt}};
}

void frmUni_511::fillFields() {
    const Sec511::Fields f = Sec511::fieldsFromStore(host_.store());
    showTexts(texts(), f);
    run_.show(f);
}

Sec511::Fields frmUni_511::currentFields() const {
    Sec511::Fields f;
    readTexts(texts(), f);
    run_.read(f);
    return f;
}

}  // namespace velta
