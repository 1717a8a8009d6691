#include "stationary/section7/frmUni_7.h"

#include "data/error.h"
#include "data/forms/qtext.h"
#include "data/numtext.h"
#include "stationary/fieldtext.h"

#include <QLabel>

#include <exception>

namespace velta {

using namespace sheetgrid;

frmUni_7::frmUni_7(FormHost& host)
    : SectionForm(host, 7, QStringLiteral("Стационарные решения   "), 4,
                  FormButtons{"cmdInput4", "cmdCancel4", "cmdHelp4"}) {
    // ---- sheet 1: the model and the size of the first group
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели  M(NDIM,NDIM) класса 1"));
    const int lw1 = 540;
    int y = 36;
    txtNdim = addField(1, 20, y, lw1, QStringLiteral("NDIM ="), QStringLiteral("txtNdim"));
    txtBeta = addField(1, 20, y += kRow, lw1, QStringLiteral("BETA ="), QStringLiteral("txtBeta"));
    txtGama = addField(1, 20, y += kRow, lw1, QStringLiteral("GAMA ="), QStringLiteral("txtGama"));
    txtLL = addField(
        1, 20, y += kRow, lw1,
        QStringLiteral("LL - число компонент в 1-й группе частично-симметричного решения, LL <=[NDIM/2],"),
        QStringLiteral("txtLL"));

    // ---- sheet 2: the interval of s and the steps
    addLabel(2, 10, y = 8, QStringLiteral("2) Отрезок 0 <= s <= Smax,"));
    addLabel(2, 10, y += kLine, QStringLiteral("    содержащий область положительности g(s),"));
    const int lw2 = 420;
    y += 36;
    txtSmax = addField(2, 20, y, lw2, QStringLiteral("Smax ="), QStringLiteral("txtSmax"));
    txtSH = addField(2, 20, y += kRow, lw2, QStringLiteral("Шаг по s,  SH ="), QStringLiteral("txtSH"));
    txtHmax = addField(2, 20, y += kRow, lw2, QStringLiteral("Hmax ="), QStringLiteral("txtHmax"));
    txtDelta = addField(2, 20, y += kRow, lw2,
                        QStringLiteral("Ограничение на табличные приращения ALFA и U1,  DELTA ="),
                        QStringLiteral("txtDelta"));

    // ---- sheet 3: the right end of ALFA; the heading is the field's label
    const QString head3 = QStringLiteral(
        "3) Правая граница отрезка по ALFA,                          ALmax =");
    txtALmax = addField(3, 10, 8, fontMetrics().horizontalAdvance(head3) + 8, head3,
                        QStringLiteral("txtALmax"));

    // ---- sheet 4: the plot bounds
    addLabel(4, 10, y = 8, QStringLiteral("4) Границы интервалов для графики (в долях ALmax):"));
    const int lw4 = 120;
    txtDRX = addField(4, 20, y += 28, lw4, QStringLiteral("DRX ="), QStringLiteral("txtDRX"));
    txtDRY = addField(4, 20, y += kRow, lw4, QStringLiteral("DRY ="), QStringLiteral("txtDRY"));
}

std::vector<KeyedField<Sec7::Fields>> frmUni_7::fields() const {
    using F = Sec7::Fields;
    return {{txtNdim, &F::ndim, "NDIM", true},     {txtBeta, &F::beta, "BETA", false},
            {txtGama, &F::gama, "GAMA", false},    {txtLL, &F::ll, "LL", true},
            {txtSmax, &F::smax, "Smax", false},    {txtSH, &F::sh, "SH", false},
            {txtHmax, &F::hmax, "HMAX", false},    {txtDelta, &F::delta, "DELTA", false},
            {txtALmax, &F::almax, "ALmax", false}, {txtDRX, &F::drx, "DRX", false},
            {txtDRY, &F::dry, "DRY", false}};
}

void frmUni_7::fillFields() { showKeyed(fields(), Sec7::fieldsFromStore(host_.store())); }

// The window has no grids, and no field sizes one.
void frmUni_7::fillGrids(bool) {}

void frmUni_7::setDimension(i16) {}

Sec7::Fields frmUni_7::currentFields() const { return readKeyed(fields()); }

void frmUni_7::writeDataFile(const std::string& path) {
    const Sec7::Fields f = currentFields();
    checkKeyed(fields(), f);
    Sec7::Table_File(host_.store(), path, f);
}

}  // namespace velta
