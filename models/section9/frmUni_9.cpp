#include "models/section9/frmUni_9.h"

#include "data/error.h"
#include "data/numtext.h"

#include <QLabel>

#include <vector>

namespace velta {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QLineEdit* e) { return e->text().toStdString(); }

// Vertical pitch of the rows of a sheet and of the explanatory lines.
constexpr int kRow = 26;
constexpr int kLine = 18;

// The model has three elements; its working vectors hold no more.
constexpr int kMaxDim = 3;

// ---- checks of the texts at "Ввод": a file that its reading or the computation would
// refuse is not written, and the window stays open with the texts as typed.

[[noreturn]] void refuse(const std::string& text) { throw VeltaError(text); }

// Items of a list as the reader splits them: none for an empty text.
std::vector<std::string> listItems(const std::string& text) {
    std::vector<std::string> items;
    if (text.empty()) return items;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        items.push_back(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (comma == std::string::npos) return items;
        from = comma + 1;
    }
}

double realOf(const std::string& key, const std::string& text) {
    try {
        return textToReal(text);
    } catch (const std::exception&) {
        refuse("Недопустимое значение  " + key + " = " + text);
    }
}

i16 intOf(const std::string& key, const std::string& text) {
    try {
        return textToI16(text);
    } catch (const std::exception&) {
        refuse("Недопустимое значение  " + key + " = " + text);
    }
}

// NDIM = n at most three; one initial value and one plotted component for each element
// (a longer or shorter value list shifts every later block of the file); a usable step,
// number of compositions and table density.
void checkTexts(const Sec9::Fields& f, int n) {
    if (n > kMaxDim)
        refuse("Модель раздела рассчитана на три элемента: NDIM должно быть от 1 до 3 (NDIM = " +
               CStr(n) + ")");
    const std::size_t nv = listItems(f.xi1).size();
    if (nv != static_cast<std::size_t>(n))
        refuse("Начальных значений Xo(i) должно быть NDIM = " + CStr(n) + " (задано " +
               CStr(static_cast<int>(nv)) + ")");
    const std::vector<std::string> ic = listItems(f.ici);
    if (ic.size() != static_cast<std::size_t>(n))
        refuse("Номеров компонент IC(i) должно быть NDIM = " + CStr(n) + " (задано " +
               CStr(static_cast<int>(ic.size())) + ")");
    for (const std::string& item : ic) {
        i16 k = 0;
        try {
            k = textToI16(item);
        } catch (const std::exception&) {
            refuse("Недопустимый номер компоненты графика: «" + item + "»");
        }
        if (k < 1 || k > n)
            refuse("Номер компоненты графика " + CStr(k) + " вне диапазона 1..NDIM (NDIM = " +
                   CStr(n) + ")");
    }
    if (intOf("MCPZ", f.mcpz) < 0)
        refuse("Число композиций MCPZ не должно быть отрицательным (MCPZ = " + f.mcpz + ")");
    if (!(realOf("HHH", f.hhh) > 0))
        refuse("Шаг интегрирования HHH должен быть больше 0 (HHH = " + f.hhh + ")");
    if (intOf("NSC", f.nsc) < 1)
        refuse("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + f.nsc + ")");
}

} // namespace

frmUni_9::frmUni_9(FormHost& host)
    : SectionForm(host, 9, QStringLiteral("Колебания хаотического типа в ГГС"), 3) {
    // ---- sheet 1: the model, the initial values, the method and the scales
    const int lw = 480;
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели"));
    int y = 36;
    txtNdim = addField(1, 20, y, lw, QStringLiteral("Число элементов ГГС (размерность системы),  NDIM ="),
                       QStringLiteral("txtNdim"));
    txtAlfa = addField(1, 20, y += kRow, lw, QStringLiteral(" ALFA ="), QStringLiteral("txtAlfa"));
    txtGama = addField(1, 20, y += kRow, lw, QStringLiteral(" GAMA ="), QStringLiteral("txtGama"));
    txtMCPZ = addField(1, 20, y += kRow, lw, QStringLiteral("Число композиций,   MCPZ ="),
                       QStringLiteral("txtMCPZ"));
    // A heading whose second line carries the field.
    addLabel(1, 10, y += 44, QStringLiteral("2) Начальные данные,"));
    const QString xoText = QStringLiteral("Xo(i),  i = 1,...,NDIM:");
    QLabel* xo = addLabel(1, 10, y += kLine + 4, xoText);
    txtXI1 = addField(1, xo->x() + xo->width() + 4, y, 0, QString(), QStringLiteral("txtXI1"), 300);
    addLabel(1, 10, y += 44, QStringLiteral("3) Параметры метода, масштабы"));
    txtSCLT = addField(1, 20, y += 28, lw,
                       QStringLiteral("Интервал интегрирования:  SCLT <= t <= SCRT, SCLT ="),
                       QStringLiteral("txtSCLT"));
    txtSCRT = addField(1, 20, y += kRow, lw, QStringLiteral("SCRT ="), QStringLiteral("txtSCRT"));
    txtHHH = addField(1, 20, y += kRow, lw, QStringLiteral("Шаг интегрирования,  HHH ="),
                      QStringLiteral("txtHHH"));
    txtSCLX = addField(1, 20, y += kRow, lw,
                       QStringLiteral("Интервал изменения компонент вектора X(t): SCLX <= X(t) <= SCRX,  SCLX ="),
                       QStringLiteral("txtSCLX"));
    txtSCRX = addField(1, 20, y += kRow, lw, QStringLiteral("SCRX ="), QStringLiteral("txtSCRX"));
    setSizingField(txtNdim, "NDIM",
                   "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");

    // ---- sheet 2: the Poincaré plane
    addLabel(2, 10, 8, QStringLiteral("4) Задание плоскости Пуанкаре: (N, X-Xo) = 0"));
    addLabel(2, 20, 44, QStringLiteral("Компоненты вектора  Xo"));
    grdTable1 = addGrid(2, 20, 68, QStringLiteral("grdTable1"));
    addLabel(2, 20, 196, QStringLiteral("Компоненты вектора нормали  N"));
    grdTable2 = addGrid(2, 20, 220, QStringLiteral("grdTable2"));

    // ---- sheet 3: plotted components, period, plotting, table density
    const int lw3 = 120, xNote = 300;
    addLabel(3, 10, y = 8, QStringLiteral("5) Порядок номеров компонент, выводимых на график,"));
    QLabel* ic = addLabel(3, 10, y += kLine + 4, QStringLiteral("IC(i), i = 1,2,3:"));
    txtICi = addField(3, ic->x() + ic->width() + 4, y, 0, QString(), QStringLiteral("txtICi"), 200);
    addLabel(3, 10, y += 48, QStringLiteral("6) Определение периода:"));
    y += 26;
    txtLscreen = addField(3, 20, y, lw3, QStringLiteral("LSCREEN ="), QStringLiteral("txtLscreen"));
    addLabel(3, xNote, y, QStringLiteral("LSCREEN = 1 - да,"));
    addLabel(3, xNote, y + kLine, QStringLiteral("LSCREEN = 0 - нет"));
    addLabel(3, xNote, y + 2 * kLine, QStringLiteral("(поиск min W(t), TMIN <= t <= TMAX)"));
    addLabel(3, 10, y += 3 * kLine + 36, QStringLiteral("7) Графическое представление результатов:"));
    y += 26;
    txtLgraph = addField(3, 20, y, lw3, QStringLiteral("LGRAPH ="), QStringLiteral("txtLgraph"));
    addLabel(3, xNote, y, QStringLiteral("LGRAPH = 1 - в физической плоскости,"));
    addLabel(3, xNote, y + kLine, QStringLiteral("LGRAPH = 2 - в фазовой плоскости,"));
    addLabel(3, xNote, y + 2 * kLine, QStringLiteral("LGRAPH = 3 - в плоскости Пуанкаре "));
    addLabel(3, xNote, y + 3 * kLine, QStringLiteral("(LSCREEN = 0 при LGRAPH = 2,3)."));
    addLabel(3, 10, y += 4 * kLine + 36, QStringLiteral("8) Плотность выдачи результатов в таблицу,"));
    QLabel* nsc = addLabel(3, 10, y += kLine + 4, QStringLiteral("NSC ="));
    txtNsc = addField(3, nsc->x() + nsc->width() + 4, y, 0, QString(), QStringLiteral("txtNsc"));
}

Sec9& frmUni_9::sec() {
    auto* c = dynamic_cast<Sec9*>(core());
    if (!c) throw VeltaError("Раздел 9 не подключен");
    return *c;
}

void frmUni_9::fillFields() {
    const Sec9::Fields f = sec().fieldsFromStore();
    txtNdim->setText(q(f.ndim));
    txtAlfa->setText(q(f.alfa));
    txtGama->setText(q(f.gama));
    txtMCPZ->setText(q(f.mcpz));
    txtXI1->setText(q(f.xi1));
    txtSCLT->setText(q(f.sclt));
    txtSCRT->setText(q(f.scrt));
    txtHHH->setText(q(f.hhh));
    txtSCLX->setText(q(f.sclx));
    txtSCRX->setText(q(f.scrx));
    txtICi->setText(q(f.ici));
    txtLscreen->setText(q(f.lscreen));
    txtLgraph->setText(q(f.lgraph));
    txtNsc->setText(q(f.nsc));
}

void frmUni_9::Tabl1_Dspl(bool zeros) {
    grdTable1->setVectorGrid(vectorGrid(mdlGlobal.XP, mdlGlobal.NDIM, zeros));
}

void frmUni_9::Tabl2_Dspl(bool zeros) {
    grdTable2->setVectorGrid(vectorGrid(mdlGlobal.FP, mdlGlobal.NDIM, zeros));
}

void frmUni_9::fillGrids(bool zeros) {
    Tabl1_Dspl(zeros);
    Tabl2_Dspl(zeros);
}

void frmUni_9::setDimension(i16 n) { mdlGlobal.NDIM = n; }

Sec9::Fields frmUni_9::currentFields() const {
    Sec9::Fields f;
    f.ndim = s(txtNdim);
    f.alfa = s(txtAlfa);
    f.gama = s(txtGama);
    f.mcpz = s(txtMCPZ);
    f.xi1 = s(txtXI1);
    f.sclt = s(txtSCLT);
    f.scrt = s(txtSCRT);
    f.hhh = s(txtHHH);
    f.sclx = s(txtSCLX);
    f.scrx = s(txtSCRX);
    f.xp = grdTable1->text();
    f.fp = grdTable2->text();
    f.ici = s(txtICi);
    f.lscreen = s(txtLscreen);
    f.lgraph = s(txtLgraph);
    f.nsc = s(txtNsc);
    return f;
}

void frmUni_9::writeDataFile(const std::string& path) {
    const Sec9::Fields f = currentFields();
    const int n = f.xp.cols() - 3;
    checkTexts(f, n);
    // The vectors are written at the grids' own length: another section's reading may
    // have changed NDIM while this window stood open.
    struct Restore {
        i16 saved = mdlGlobal.NDIM;
        ~Restore() { mdlGlobal.NDIM = saved; }
    } restore;
    mdlGlobal.NDIM = static_cast<i16>(n);
    Sec9::Table_File(path, f);
}

} // namespace velta
