#include "models/section9/frmUni_9.h"

#include "data/error.h"
#include "data/numtext.h"

#include <QLabel>

namespace velta {

namespace {

using namespace fieldcheck;

// The model has three elements; its working vectors hold no more.
constexpr int kMaxDim = 3;

// NDIM = n at most three; one initial value and one plotted component for each element
// (a longer or shorter value list shifts every later block of the file); a usable step,
// number of compositions and table density.
void checkTexts(const Sec9::Fields& f, int n) {
    if (n > kMaxDim)
        fail("Модель раздела рассчитана на три элемента: NDIM должно быть от 1 до 3 (NDIM = " + CStr(n) +
             ")");
    const std::size_t nv = listItems(f.xi1).size();
    if (nv != static_cast<std::size_t>(n))
        fail("Начальных значений Xo(i) должно быть NDIM = " + CStr(n) + " (задано " +
             CStr(static_cast<int>(nv)) + ")");
    const std::size_t nc = listItems(f.ici).size();
    if (nc != static_cast<std::size_t>(n))
        fail("Номеров компонент IC(i) должно быть NDIM = " + CStr(n) + " (задано " +
             CStr(static_cast<int>(nc)) + ")");
    checkIndexes(f.ici, n, "компоненты графика");
    if (intOf("MCPZ", f.mcpz) < 0)
        fail("Число композиций MCPZ не должно быть отрицательным (MCPZ = " + f.mcpz + ")");
    if (!(realOf("HHH", f.hhh) > 0))
        fail("Шаг интегрирования HHH должен быть больше 0 (HHH = " + f.hhh + ")");
    if (intOf("NSC", f.nsc) < 1)
        fail("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + f.nsc + ")");
}

}  // namespace

frmUni_9::frmUni_9(FormHost& host)
    : PlaneForm(host, 9, QStringLiteral("Колебания хаотического типа в ГГС"), 3) {
    // ---- sheet 1: the model, the initial values, the method and the scales
    const int lw = 480;
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели"));
    int y = addRows(1, 36, lw,
                    {{txtNdim, "Число элементов ГГС (размерность системы),  NDIM =", "txtNdim"},
                     {txtAlfa, " ALFA =", "txtAlfa"},
                     {txtGama, " GAMA =", "txtGama"},
                     {txtMCPZ, "Число композиций,   MCPZ =", "txtMCPZ"}});
    // A heading whose second line carries the field.
    addLabel(1, 10, y += 44, QStringLiteral("2) Начальные данные,"));
    QLabel* xo = addLabel(1, 10, y += kLine + 4, QStringLiteral("Xo(i),  i = 1,...,NDIM:"));
    txtXI1 = addField(1, xo->x() + xo->width() + 4, y, 0, QString(), QStringLiteral("txtXI1"), 300);
    addLabel(1, 10, y += 44, QStringLiteral("3) Параметры метода, масштабы"));
    addRows(1, y + 28, lw,
            {{txtSCLT, "Интервал интегрирования:  SCLT <= t <= SCRT, SCLT =", "txtSCLT"},
             {txtSCRT, "SCRT =", "txtSCRT"},
             {txtHHH, "Шаг интегрирования,  HHH =", "txtHHH"},
             {txtSCLX, "Интервал изменения компонент вектора X(t): SCLX <= X(t) <= SCRX,  SCLX =", "txtSCLX"},
             {txtSCRX, "SCRX =", "txtSCRX"}});
    setSizingField(txtNdim, "NDIM",
                   "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");

    plane_ = addPlaneSheet(2, 4, QStringLiteral("grdTable1"), QStringLiteral("grdTable2"));

    // ---- sheet 3: plotted components, period, plotting, table density
    const int lw3 = 120, xNote = 300;
    addLabel(3, 10, y = 8, QStringLiteral("5) Порядок номеров компонент, выводимых на график,"));
    QLabel* ic = addLabel(3, 10, y += kLine + 4, QStringLiteral("IC(i), i = 1,2,3:"));
    txtICi = addField(3, ic->x() + ic->width() + 4, y, 0, QString(), QStringLiteral("txtICi"), 200);
    y = addPeriod(3, y + 48, 6, lw3, xNote, periodNotes(), txtLscreen);
    y = addPlotKind(3, y + 3 * kLine + 36, 7, lw3, xNote, threePlaneNotes(), txtLgraph);
    addLabel(3, 10, y += 4 * kLine + 36, QStringLiteral("8) Плотность выдачи результатов в таблицу,"));
    QLabel* nsc = addLabel(3, 10, y += kLine + 4, QStringLiteral("NSC ="));
    txtNsc = addField(3, nsc->x() + nsc->width() + 4, y, 0, QString(), QStringLiteral("txtNsc"));
}

Sec9& frmUni_9::sec() {
    auto* c = dynamic_cast<Sec9*>(core());
    if (!c) throw VeltaError("Раздел 9 не подключен");
    return *c;
}

std::vector<FieldText<Sec9::Fields>> frmUni_9::texts() const {
    using F = Sec9::Fields;
    return {{txtNdim, &F::ndim},     {txtAlfa, &F::alfa}, {txtGama, &F::gama}, {txtMCPZ, &F::mcpz},
            {txtXI1, &F::xi1},       {txtSCLT, &F::sclt}, {txtSCRT, &F::scrt}, {txtHHH, &F::hhh},
            {txtSCLX, &F::sclx},     {txtSCRX, &F::scrx}, {txtICi, &F::ici},   {txtLscreen, &F::lscreen},
            {txtLgraph, &F::lgraph}, {txtNsc, &F::nsc}};
}

void frmUni_9::fillFields() { showTexts(texts(), sec().fieldsFromStore(host_.store())); }

Sec9::Fields frmUni_9::currentFields() const {
    Sec9::Fields f;
    readTexts(texts(), f);
    plane_.read(f);
    return f;
}

void frmUni_9::writeDataFile(const std::string& path) {
    const Sec9::Fields f = currentFields();
    checkTexts(f, planeLength(f));
    Sec9::Table_File(host_.store(), path, f);
}

}  // namespace velta
