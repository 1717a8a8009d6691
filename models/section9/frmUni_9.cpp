#include "models/section9/frmUni_9.h"

#include "data/error.h"
#include "data/numtext.h"

#include <QLabel>

namespace velta {

namespace {

using namespace fieldcheck;
using F = Sec9::Fields;

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
    if (keyInt("MCPZ", f.mcpz) < 0)
        fail("Число композиций MCPZ не должно быть отрицательным (MCPZ = " + f.mcpz + ")");
    if (!(keyReal("HHH", f.hhh) > 0))
        fail("Шаг интегрирования HHH должен быть больше 0 (HHH = " + f.hhh + ")");
    if (keyInt("NSC", f.nsc) < 1)
        fail("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + f.nsc + ")");
    // Every other key as the reading would convert it: a text it refuses is never written.
    Sec9::checkKeys(f);
}

}  // namespace

frmUni_9::frmUni_9(FormHost& host)
    : PlaneForm(host, 9, QStringLiteral("Колебания хаотического типа в ГГС"), 3) {
    // ---- sheet 1: the model, the initial values, the method and the scales
    const int lw = 480;
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели"));
    addKeyRows(1, 20, 36, lw, Sec9::ndimKeys(), 1, fields_);
    QLineEdit* ndim = fields_.back().edit;
    // The rest of block 1 is a table of its own, read after NDIM is checked; it has no header.
    int y = addKeyRows(1, 20, 36 + kRow, lw, Sec9::modelKeys(), 0, fields_);
    // A heading whose second line carries the field.
    addLabel(1, 10, y += 44, QStringLiteral("2) Начальные данные,"));
    QLabel* xo = addLabel(1, 10, y += kLine + 4, QStringLiteral("Xo(i),  i = 1,...,NDIM:"));
    fields_.push_back(
        {addField(1, xo->x() + xo->width() + 4, y, 0, QString(), QStringLiteral("txtXI1"), 300), &F::xi1});
    addLabel(1, 10, y += 44, QStringLiteral("3) Параметры метода, масштабы"));
    addKeyRows(1, 20, y + 28, lw, Sec9::rangeKeys(), {{"SCLT"}, {"SCRT"}, {"HHH"}, {"SCLX"}, {"SCRX"}},
               fields_);
    setSizingField(ndim, "NDIM", "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");

    plane_ = addPlaneSheet(2, 4, QStringLiteral("grdTable1"), QStringLiteral("grdTable2"));

    // ---- sheet 3: plotted components, period, plotting, table density
    const int lw3 = 120, xNote = 300;
    addLabel(3, 10, y = 8, QStringLiteral("5) Порядок номеров компонент, выводимых на график,"));
    QLabel* ic = addLabel(3, 10, y += kLine + 4, QStringLiteral("IC(i), i = 1,2,3:"));
    fields_.push_back(
        {addField(3, ic->x() + ic->width() + 4, y, 0, QString(), QStringLiteral("txtICi"), 200), &F::ici});
    QLineEdit *lscreen = nullptr, *lgraph = nullptr;
    y = addPeriod(3, y + 48, 6, lw3, xNote, periodNotes(), lscreen);
    y = addPlotKind(3, y + 3 * kLine + 36, 7, lw3, xNote, threePlaneNotes(), lgraph);
    fields_.push_back({lscreen, &F::lscreen});
    fields_.push_back({lgraph, &F::lgraph});
    addLabel(3, 10, y += 4 * kLine + 36, QStringLiteral("8) Плотность выдачи результатов в таблицу,"));
    addKeyAfterLabel(3, 10, y + kLine + 4, Sec9::tailKeys().entry("NSC"));
}

void frmUni_9::addKeyAfterLabel(int sheet, int x, int y, const Key<Store, F>& k) {
    QLabel* l = addLabel(sheet, x, y, QString::fromUtf8(k.label));
    fields_.push_back(
        {addField(sheet, l->x() + l->width() + 4, y, 0, QString(), QString::fromUtf8(k.field)), k.text});
}

Sec9& frmUni_9::sec() {
    auto* c = dynamic_cast<Sec9*>(core());
    if (!c) throw VeltaError("Раздел 9 не подключен");
    return *c;
}

void frmUni_9::fillFields() { showTexts(fields_, sec().fieldsFromStore(host_.store())); }

Sec9::Fields frmUni_9::currentFields() const {
    Sec9::Fields f;
    readTexts(fields_, f);
    plane_.read(f);
    return f;
}

void frmUni_9::writeDataFile(const std::string& path) {
    const Sec9::Fields f = currentFields();
    checkTexts(f, planeLength(f));
    Sec9::Table_File(host_.store(), path, f);
}

}  // namespace velta
