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
    // ---- sheet 1: the model
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели ГГС классов 1-4"));
    const int lw1 = 420;
    int y = 36;
    txtMclass = addField(1, 20, y, lw1, QStringLiteral("Номер класса,  MCLASS ="),
                         QStringLiteral("txtMclass"));
    txtNdim = addField(1, 20, y += kRow, lw1,
                       QStringLiteral("Число элементов ГГС (размерность системы),  NDIM ="),
                       QStringLiteral("txtNdim"));
    txtAlfa = addField(1, 20, y += kRow, lw1, QStringLiteral("Стартовое значение  ALFA ="),
                       QStringLiteral("txtAlfa"));
    txtBeta = addField(1, 20, y += kRow, lw1, QStringLiteral("BETA ="), QStringLiteral("txtBeta"));
    txtGama = addField(1, 20, y += kRow, lw1, QStringLiteral("GAMA ="), QStringLiteral("txtGama"));
    addLabel(1, 40, y += 44,
             QStringLiteral("ALFA - параметр для продолжения решения,  QMIN <= ALFA <= QMAX"));
    setSizingField(txtNdim, "NDIM",
                   "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #2, #3");

    // ---- sheet 2: the connection matrix
    addLabel(2, 10, 8, QStringLiteral("2) Матрица связей  MC(i,j)"));
    grdTable = addGrid(2, kLeft, kTop, QStringLiteral("grdTable"), kMaxWidth);

    // ---- sheet 3: the starting approximation
    addLabel(3, 10, 8, QStringLiteral("3) Начальное приближение при стартовом значении ALFA"));
    grdTable1 = addGrid(3, kLeft, kTop, QStringLiteral("grdTable1"), kMaxWidth);

    // ---- sheet 4: the continuation
    const int lw4 = 360;
    addLabel(4, 10, y = 8, QStringLiteral("4) Параметры метода продолжения по параметру"));
    txtQmin = addField(4, 20, y += 28, lw4, QStringLiteral("QMIN ="), QStringLiteral("txtQmin"));
    txtQmax = addField(4, 20, y += kRow, lw4, QStringLiteral("QMAX ="), QStringLiteral("txtQmax"));
    txtQsolv = twoLineField(4, (y += kRow) + kLine, lw4, QStringLiteral("Значение ALFA, при котором"),
                            QStringLiteral(" определяются стационарные решения,  QSOLV ="),
                            QStringLiteral("txtQsolv"));
    y += kLine;
    txtHstep = addField(4, 20, y += kRow, lw4, QStringLiteral("Стартовый шаг по ALFA,  HSTEP ="),
                        QStringLiteral("txtHstep"));

    // ---- sheet 5: Newton's method
    const int lw5 = 420;
    addLabel(5, 10, y = 8, QStringLiteral("5) Параметры метода Ньютона"));
    txtExact = addField(5, 20, y += 28, lw5, QStringLiteral("Точность метода,  EXACT ="),
                        QStringLiteral("txtExact"));
    txtLimit = addField(5, 20, y += kRow, lw5,
                        QStringLiteral("Ограничение на число итераций в текущей позиции,  LIMIT ="),
                        QStringLiteral("txtLimit"));
    txtLimit0 = addField(5, 20, y += kRow, lw5,
                         QStringLiteral("Ограничение на число итераций в стартовой позиции,  LIMIT0 ="),
                         QStringLiteral("txtLimit0"));
    txtAccel = addField(5, 20, y += kRow, lw5,
                        QStringLiteral("Коэффициент увеличения текущего шага,  ACCEL ="),
                        QStringLiteral("txtAccel"));
    txtEmin = addField(5, 20, y += kRow, lw5, QStringLiteral("EMIN ="), QStringLiteral("txtEmin"));
    txtEmax = addField(5, 20, y += kRow, lw5, QStringLiteral("EMAX ="), QStringLiteral("txtEmax"));

    // ---- sheet 6: the standard steps
    addLabel(6, 10, 8, QStringLiteral("6) Эталонные шаги H(I) для текущих параметров, i=1,...,NDIM+1."));
    addLabel(6, 10, 8 + kLine, QStringLiteral("    (H(NDIM+1) - эталонный шаг по ALFA)"));
    grdTable2 = addGrid(6, kLeft, kTop, QStringLiteral("grdTable2"), kMaxWidth);

    // ---- sheet 7: stability
    addLabel(7, 10, 8, QStringLiteral("7) Устойчивость"));
    txtStab = twoLineField(7, 36 + kLine, 360, QStringLiteral("Параметр, ограничивающий числовую"),
                           QStringLiteral(" характеристику устойчивости,  STAB ="),
                           QStringLiteral("txtStab"));

    // ---- sheet 8: output
    addLabel(8, 10, y = 8, QStringLiteral("8) Формирование выдачи результатов"));
    txtNend = addField(8, 20, y += 28, 360, QStringLiteral("Порция шагов в методе продолжения,  NEND = "),
                       QStringLiteral("txtNend"));
    txtIC = addField(8, 20, y += 2 * kRow, 360, QStringLiteral("Номера компонент, выводимых на график:"),
                     QStringLiteral("txtIC"), 300);
    {
        QLabel* l = addLabel(8, 20, y + kLine + 4, QStringLiteral("(число компонент <= min(12,NDIM))"), 360);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    // ---- sheet 9: scales
    const int lw9 = 120;
    addLabel(9, 10, y = 8, QStringLiteral("9) Масштабы"));
    txtSclx = addField(9, 20, y += 28, lw9, QStringLiteral(" SCLX ="), QStringLiteral("txtSclx"));
    txtScrx = addField(9, 20, y += kRow, lw9, QStringLiteral("SCRX ="), QStringLiteral("txtScrx"));
    txtScly = addField(9, 20, y += kRow, lw9, QStringLiteral("SCLY ="), QStringLiteral("txtScly"));
    txtScry = addField(9, 20, y += kRow, lw9, QStringLiteral("SCRY ="), QStringLiteral("txtScry"));
}

QLineEdit* frmUni_217::twoLineField(int sheet, int y, int labelWidth, const QString& first,
                                    const QString& second, const QString& name) {
    QLabel* l = addLabel(sheet, 20, y - kLine, first, labelWidth);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return addField(sheet, 20, y, labelWidth, second, name);
}

Sec217* frmUni_217::sec() { return dynamic_cast<Sec217*>(core()); }

void frmUni_217::fillFields() {
    Sec217* c = sec();
    if (!c) return;
    const Sec217::Fields f = c->fieldsFromStore(host_.store());
    showNetFields(f, f);
    showTexts(texts(), f);
}

std::vector<FieldText<Sec217::Fields>> frmUni_217::texts() const {
    using F = Sec217::Fields;
    return {{txtStab, &F::stab}, {txtNend, &F::nend}, {txtIC, &F::ic},    {txtSclx, &F::sclx},
            {txtScrx, &F::scrx}, {txtScly, &F::scly}, {txtScry, &F::scry}};
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
    readTexts(texts(), f);
    return f;
}

void frmUni_217::writeDataFile(const std::string& path) {
    // A file that its reading or the run would refuse is not written.
    writeCheckedFile<Sec217>(host_.store(), path, currentFields());
}

}  // namespace velta
