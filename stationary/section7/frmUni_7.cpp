#include "stationary/section7/frmUni_7.h"

#include "data/error.h"
#include "data/forms/qtext.h"
#include "data/numtext.h"
#include "stationary/fieldtext.h"

#include <QLabel>

#include <exception>

namespace velta {

namespace {

constexpr int kRow = 26;
constexpr int kLine = 18;

// A text that the reading could not convert is not written: the window stays open.
void needInteger(const std::string& key, const std::string& text) { fieldtext::intOf(key, text); }
void needReal(const std::string& key, const std::string& text) { fieldtext::realOf(key, text); }

void checkTexts(const Sec7::Fields& f) {
    needInteger("NDIM", f.ndim);
    needReal("BETA", f.beta);
    needReal("GAMA", f.gama);
    needInteger("LL", f.ll);
    needReal("Smax", f.smax);
    needReal("SH", f.sh);
    needReal("HMAX", f.hmax);
    needReal("DELTA", f.delta);
    needReal("ALmax", f.almax);
    needReal("DRX", f.drx);
    needReal("DRY", f.dry);
}

}  // namespace

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

void frmUni_7::fillFields() {
    const Sec7::Fields f = Sec7::fieldsFromStore();
    txtNdim->setText(q(f.ndim));
    txtBeta->setText(q(f.beta));
    txtGama->setText(q(f.gama));
    txtLL->setText(q(f.ll));
    txtSmax->setText(q(f.smax));
    txtSH->setText(q(f.sh));
    txtHmax->setText(q(f.hmax));
    txtDelta->setText(q(f.delta));
    txtALmax->setText(q(f.almax));
    txtDRX->setText(q(f.drx));
    txtDRY->setText(q(f.dry));
}

// The window has no grids, and no field sizes one.
void frmUni_7::fillGrids(bool) {}

void frmUni_7::setDimension(i16) {}

Sec7::Fields frmUni_7::currentFields() const {
    Sec7::Fields f;
    f.ndim = s(txtNdim);
    f.beta = s(txtBeta);
    f.gama = s(txtGama);
    f.ll = s(txtLL);
    f.smax = s(txtSmax);
    f.sh = s(txtSH);
    f.hmax = s(txtHmax);
    f.delta = s(txtDelta);
    f.almax = s(txtALmax);
    f.drx = s(txtDRX);
    f.dry = s(txtDRY);
    return f;
}

void frmUni_7::writeDataFile(const std::string& path) {
    const Sec7::Fields f = currentFields();
    checkTexts(f);
    Sec7::Table_File(path, f);
}

}  // namespace velta
