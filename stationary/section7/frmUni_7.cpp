#include "stationary/section7/frmUni_7.h"

namespace velta {

frmUni_7::frmUni_7(FormHost& host)
    : SheetForm(host, 7, QStringLiteral("Стационарные решения   "), 4,
                FormButtons{"cmdInput4", "cmdCancel4", "cmdHelp4"}) {
    // ---- sheet 1: the model and the size of the first group
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели  M(NDIM,NDIM) класса 1"));
    addKeyRows(1, 20, 36, 540, Sec7::keys(), 1, fields_);

    // ---- sheet 2: the interval of s and the steps
    addLabel(2, 10, 8, QStringLiteral("2) Отрезок 0 <= s <= Smax,"));
    addLabel(2, 10, 8 + kLine, QStringLiteral("    содержащий область положительности g(s),"));
    addKeyRows(2, 20, 8 + kLine + 36, 420, Sec7::keys(), 2, fields_);

    // ---- sheet 3: the right end of ALFA; the heading is the field's label
    addKeyRows(3, 10, 8, 0, Sec7::keys(), 3, fields_);

    // ---- sheet 4: the plot bounds
    addLabel(4, 10, 8, QStringLiteral("4) Границы интервалов для графики (в долях ALmax):"));
    addKeyRows(4, 20, 36, 120, Sec7::keys(), 4, fields_);
}

void frmUni_7::fillFields() { showTexts(fields_, Sec7::fieldsFromStore(host_.store())); }

// The window has no grids, and no field sizes one.
void frmUni_7::fillGrids(bool) {}

void frmUni_7::setDimension(i16) {}

Sec7::Fields frmUni_7::currentFields() const {
    Sec7::Fields f;
    readTexts(fields_, f);
    return f;
}

void frmUni_7::writeDataFile(const std::string& path) {
    const Sec7::Fields f = currentFields();
    Sec7::keys().check(f);
    Sec7::Table_File(host_.store(), path, f);
}

}  // namespace velta
