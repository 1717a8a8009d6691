#include "synthesis/section511/frmUni_511.h"

namespace velta {

frmUni_511::frmUni_511(FormHost& host)
    : SheetForm(host, 511, QStringLiteral("Синтез\\Кодирование одним ГЭ\\Автономная система   "), 3) {
    // ---- sheet 1: the model and the initial data
    const int lw1 = 300;
    addLabel(1, 10, 8, QStringLiteral("1) Параметры математической модели"));
    int y = addKeyRows(1, 20, 36, lw1, Sec511::modelKeys(),
                       {{"NDIM"}, {"ALFA"}, {"BETA"}, {"GAMA"}, {"TETA"}, {"OMEG"}, {"TAU1"}, {"TAU2"}},
                       fields_);
    addLabel(1, 10, y += 44, QStringLiteral("2) Варианты задания начальных данных:"));
    addNotes(1, 48, y += 22,
             {QStringLiteral("IND = 0 - \"возмущенное\" стационарное решение,"),
              QStringLiteral("IND = 1 - \"возмущенное\" нулевое решение.")});
    addKeyRows(1, 20, y + kLine + 30, lw1, Sec511::startKeys(), {{"IND"}, {"X_Ndim"}, {"X_1"}}, fields_);

    run_ = addRunSheet(2, 3, {500, periodNotes(), twoPlaneNotes(), 0, {}});

    // ---- sheet 3: plotted components, table density, plot bounds
    const int lw3 = 200;
    QLineEdit* i1g = nullptr;
    y = addPlotList(3, 6, i1g, 48,
                    {QStringLiteral("(NCOMP <= 12"), QStringLiteral("NCOMP <= NDIM при LGRAPH = 1"),
                     QStringLiteral("NCOMP  = 2    при LGRAPH = 2)")},
                    true);
    fields_.push_back({i1g, &Sec511::Fields::i1g});
    addLabel(3, 10, y, QStringLiteral("7) Плотность таблицы выдачи результатов:"));
    y = addKeyRows(3, 20, y + 28, lw3, Sec511::tailKeys(), 7, fields_);
    addLabel(3, 10, y += kRow + 30, QStringLiteral("8) Границы интервалов для графиков:"));
    addKeyRows(3, 20, y += 28, lw3, Sec511::tailKeys(), 8, fields_);
    // The bounds line up on their "<=" signs in a fixed-pitch font.
    addBoundLines(3, 420, y + 14,
                  {{QStringLiteral("SCLX <= X(i) <= SCRX"), QStringLiteral("SCLW <=  W   <= SCRW"),
                    QStringLiteral("SCLT <=  t   <= TMAX")},
                   {}});
}

void frmUni_511::fillFields() {
    const Sec511::Fields f = Sec511::fieldsFromStore(host_.store());
    showTexts(fields_, f);
    run_.show(f);
}

Sec511::Fields frmUni_511::currentFields() const {
    Sec511::Fields f;
    readTexts(fields_, f);
    run_.read(f);
    return f;
}

}  // namespace velta
