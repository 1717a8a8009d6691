#include "stationary/section217/frmUni_217.h"

#include "data/error.h"
#include "data/forms/qtext.h"
#include "data/numtext.h"
#include "stationary/frmGrids.h"

#include <QLabel>

#include <algorithm>

namespace velta {

using namespace sheetgrid;

frmUni_217::frmUni_217(FormHost& host)
    : StationaryNetForm(
          host, 217,
          QStringLiteral("ГГС общего вида\\Стац. решения автономной системы\\Диаграммы и устойчивость"), 9) {
    const Sec217::FieldKeys& keys = Sec217::fieldKeys();
    // ---- sheet 1: the model
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели ГГС классов 1-4"));
    int y = addModelRows(keys.model,
                         "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #2, #3");
    addLabel(1, 40, y + 44, QStringLiteral("ALFA - параметр для продолжения решения,  QMIN <= ALFA <= QMAX"));

    // ---- sheet 2: the connection matrix
    addLabel(2, 10, 8, QStringLiteral("2) Матрица связей  MC(i,j)"));
    grdTable = addGrid(2, kLeft, kTop, QStringLiteral("grdTable"), kMaxWidth);

    // ---- sheet 3: the starting approximation
    addLabel(3, 10, 8, QStringLiteral("3) Начальное приближение при стартовом значении ALFA"));
    grdTable1 = addGrid(3, kLeft, kTop, QStringLiteral("grdTable1"), kMaxWidth);

    // ---- sheet 4: the continuation; the label of QSOLV takes two lines
    const int lw4 = 360;
    addLabel(4, 10, 8, QStringLiteral("4) Параметры метода продолжения по параметру"));
    y = addKeyRows(4, 20, 36, lw4, contKeys(), {{"QMIN"}, {"QMAX"}}, cont_) + kRow + kLine;
    firstLabelLine(4, y, lw4, QStringLiteral("Значение ALFA, при котором"));
    addKeyRows(4, 20, y, lw4, contKeys(), {{"QSOLV", " определяются стационарные решения,  QSOLV ="}}, cont_);
    addKeyRows(4, 20, y + kRow, lw4, contKeys(), {{"HSTEP", "Стартовый шаг по ALFA,  HSTEP ="}}, cont_);

    // ---- sheet 5: Newton's method
    addLabel(5, 10, 8, QStringLiteral("5) Параметры метода Ньютона"));
    addNewtonRows(5, 420);

    // ---- sheet 6: the standard steps
    addLabel(6, 10, 8, QStringLiteral("6) Эталонные шаги H(I) для текущих параметров, i=1,...,NDIM+1."));
    addLabel(6, 10, 8 + kLine, QStringLiteral("    (H(NDIM+1) - эталонный шаг по ALFA)"));
    grdTable2 = addGrid(6, kLeft, kTop, QStringLiteral("grdTable2"), kMaxWidth);

    // ---- sheet 7: stability; the label of STAB takes two lines
    addLabel(7, 10, 8, QStringLiteral("7) Устойчивость"));
    firstLabelLine(7, 36 + kLine, 360, QStringLiteral("Параметр, ограничивающий числовую"));
    addKeyRows(7, 20, 36 + kLine, 360, keys.stab, 7, fields_);

    // ---- sheet 8: output; the list of plotted components is not a key of the file
    addLabel(8, 10, 8, QStringLiteral("8) Формирование выдачи результатов"));
    y = addKeyRows(8, 20, 36, 360, keys.stab, 8, fields_);
    fields_.push_back(
        {addField(8, 20, y += 2 * kRow, 360, QStringLiteral("Номера компонент, выводимых на график:"),
                  QStringLiteral("txtIC"), 300),
         &Sec217::Fields::ic});
    {
        QLabel* l = addLabel(8, 20, y + kLine + 4, QStringLiteral("(число компонент <= min(12,NDIM))"), 360);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    // ---- sheet 9: scales
    addLabel(9, 10, 8, QStringLiteral("9) Масштабы"));
    addKeyRows(9, 20, 36, 120, keys.scales, 9, fields_);
}

void frmUni_217::firstLabelLine(int sheet, int y, int labelWidth, const QString& text) {
    QLabel* l = addLabel(sheet, 20, y - kLine, text, labelWidth);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

Sec217* frmUni_217::sec() { return dynamic_cast<Sec217*>(core()); }

void frmUni_217::fillFields() {
    Sec217* c = sec();
    if (!c) return;
    const Sec217::Fields f = c->fieldsFromStore(host_.store());
    showNetFields(f, f);
    showTexts(fields_, f);
}

void frmUni_217::Tabl1_Dspl(bool zeros) {
    const int n = host_.store().NDIM;
    Sec217* c = sec();
    const Vec none;
    const bool z = zeros || !c;
    sheetgrid::showColumn(grdTable1, Sec217::columnGrid(z ? none : c->Y0, n, "Значения компонент", z), n);
}

void frmUni_217::Tabl2_Dspl(bool zeros) {
    const int n1 = host_.store().NDIM + 1;
    Sec217* c = sec();
    const Vec none;
    const bool z = zeros || !c;
    sheetgrid::showColumn(grdTable2, Sec217::columnGrid(z ? none : c->H, n1, "Стандартные шаги", z), n1);
}

void frmUni_217::fillGrids(bool zeros) {
    Matr_Dspl(zeros);
    Tabl1_Dspl(zeros);
    Tabl2_Dspl(zeros);
}

Sec217::Fields frmUni_217::currentFields() const {
    Sec217::Fields f;
    readNetFields(f, f);
    f.mc = grdTable->text();
    f.y0 = grdTable1->text();
    f.steps = grdTable2->text();
    readTexts(fields_, f);
    return f;
}

void frmUni_217::writeDataFile(const std::string& path) {
    // A file that its reading or the run would refuse is not written.
    writeCheckedFile<Sec217>(host_.store(), path, currentFields());
}

}  // namespace velta
