#include "models/section21/frmUni_21.h"

#include "data/error.h"
#include "data/numtext.h"

#include <QLabel>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace velta {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QLineEdit* e) { return e->text().toStdString(); }

// Vertical pitch of the rows of a sheet and of the explanatory lines.
constexpr int kRow = 26;
constexpr int kLine = 18;

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

// Component numbers of a list, each within 1..n.
void checkIndexes(const std::string& text, int n, const std::string& what) {
    for (const std::string& item : listItems(text)) {
        i16 k = 0;
        try {
            k = textToI16(item);
        } catch (const std::exception&) {
            refuse("Недопустимый номер " + what + ": «" + item + "»");
        }
        if (k < 1 || k > n)
            refuse("Номер " + what + " " + CStr(k) + " вне диапазона 1..NDIM (NDIM = " + CStr(n) + ")");
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

// The lists must agree with NDIM = n (an index list longer than the value list, or the
// other way round, shifts every later block of the file), and the step, the table density
// and the portion must be usable.
template <class Fields>
void checkTexts(const Fields& f, int n) {
    checkIndexes(f.i1n, n, "ненулевой компоненты");
    const std::size_t nk = listItems(f.i1n).size(), nv = listItems(f.xi1).size();
    if (nk > static_cast<std::size_t>(n))
        refuse("Номеров ненулевых компонент больше, чем NDIM = " + CStr(n));
    if (nv != nk)
        refuse("Число значений ненулевых компонент (" + CStr(static_cast<int>(nv)) +
               ") не совпадает с числом их номеров (" + CStr(static_cast<int>(nk)) + ")");
    checkIndexes(f.i1g, n, "компоненты графика");
    const std::size_t ncomp = std::min(listItems(f.i1g).size(), static_cast<std::size_t>(n));
    if (ncomp > 12)
        refuse("На график можно вывести не более 12 компонент (NCOMP = " + CStr(static_cast<int>(ncomp)) + ")");
    if (!(realOf("HHH", f.hhh) > 0))
        refuse("Шаг интегрирования HHH должен быть больше 0 (HHH = " + f.hhh + ")");
    if (intOf("NSC", f.nsc) < 1)
        refuse("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + f.nsc + ")");
    if (intOf("LSTEP", f.lstep) < 0)
        refuse("Порция шагов LSTEP не должна быть отрицательной (LSTEP = " + f.lstep + ")");
}

// Place of the matrix grid on sheet 2 and the room it may take.
constexpr int kMatrLeft = 20, kMatrTop = 40;
constexpr int kMatrMaxWidth = SectionForm::kFrameWidth - 2 * kMatrLeft;
constexpr int kMatrMaxHeight = SectionForm::kFrameHeight - kMatrTop - 10;

// Every column of the matrix grid is 600 twips wide, the index column too; a network too
// large for the sheet scrolls in both directions.
void fitMatrix(FormGrid* g) {
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    for (int c = 0; c < g->columnCount(); ++c) g->setColumnWidth(c, FormGrid::kColWidth);
    const int fw = 2 * g->frameWidth();
    const int vbar = g->verticalScrollBar()->sizeHint().width();
    const int hbar = g->horizontalScrollBar()->sizeHint().height();
    int w = fw + g->columnCount() * FormGrid::kColWidth;
    int h = fw + g->rowCount() * FormGrid::kRowHeight;
    bool hs = w > kMatrMaxWidth, vs = h > kMatrMaxHeight;
    if (hs) h += hbar;
    if (h > kMatrMaxHeight) vs = true;
    if (vs) {
        w += vbar;
        if (w > kMatrMaxWidth && !hs) {
            hs = true;
            h += hbar;
        }
    }
    g->resize(std::min(w, kMatrMaxWidth), std::min(h, kMatrMaxHeight));
}

} // namespace

frmUni_21::frmUni_21(FormHost& host)
    : SectionForm(host, 21, QStringLiteral("ГГС общего вида\\Автономная система. Задача Коши"), 5) {
    // ---- sheet 1: the model and the initial data
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели ГГС классов 1-4"));
    const int lw1 = 420;
    int y = 36;
    txtMclass = addField(1, 20, y, lw1, QStringLiteral("Номер класса,  MCLASS ="), QStringLiteral("txtMclass"));
    txtNdim = addField(1, 20, y += kRow, lw1,
                       QStringLiteral("Число элементов ГГС (размерность системы),  NDIM ="),
                       QStringLiteral("txtNdim"));
    txtAlfa = addField(1, 20, y += kRow, lw1, QStringLiteral(" ALFA ="), QStringLiteral("txtAlfa"));
    txtBeta = addField(1, 20, y += kRow, lw1, QStringLiteral(" BETA ="), QStringLiteral("txtBeta"));
    txtGama = addField(1, 20, y += kRow, lw1, QStringLiteral(" GAMA ="), QStringLiteral("txtGama"));
    addLabel(1, 10, y += 48, QStringLiteral("2) Начальные данные:  X(i) = 0, i = 1,...,NDIM"));
    const int lw2 = 260;
    txtI1N = addField(1, 20, y += 28, lw2, QStringLiteral("Номера ненулевых компонент,  i1,...:"),
                      QStringLiteral("txtI1N"), 430);
    txtXI1 = addField(1, 20, y += kRow, lw2,
                      QStringLiteral("Значения ненулевых компонент,  X(i1),...:"),
                      QStringLiteral("txtXI1"), 430);
    setSizingField(txtNdim, "NDIM",
                   "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #2,#3");

    // ---- sheet 2: the connection matrix
    addLabel(2, 10, 8, QStringLiteral("3) Матрица связей  MC(i,j)"));
    grdTable1 = addGrid(2, kMatrLeft, kMatrTop, QStringLiteral("grdTable1"), kMatrMaxWidth);

    // ---- sheet 3: the Poincaré plane
    addLabel(3, 10, 8, QStringLiteral("4) Задание плоскости Пуанкаре: (N, X-Xo) = 0"));
    addLabel(3, 20, 44, QStringLiteral("Компоненты вектора  Xo"));
    grdTable2 = addGrid(3, 20, 68, QStringLiteral("grdTable2"));
    addLabel(3, 20, 196, QStringLiteral("Компоненты вектора нормали  N"));
    grdTable3 = addGrid(3, 20, 220, QStringLiteral("grdTable3"));

    // ---- sheet 4: integration, period, plotting, portions
    const int lw4 = 330, xNote = 505;
    addLabel(4, 10, y = 8, QStringLiteral("5) Параметры интегрирования"));
    txtTmax = addField(4, 20, y += 28, lw4,
                       QStringLiteral("Интервал интегрирования:  0 <= t <= TMAX,  TMAX ="),
                       QStringLiteral("txtTmax"));
    txtHHH = addField(4, 20, y += kRow, lw4, QStringLiteral("Шаг интегрирования,  HHH ="),
                      QStringLiteral("txtHHH"));
    addLabel(4, 10, y += 38, QStringLiteral("6) Определение периода:"));
    y += 26;
    txtLscreen = addField(4, 20, y, lw4, QStringLiteral("LSCREEN ="), QStringLiteral("txtLscreen"));
    txtTmin = addField(4, 20, y + kRow, lw4, QStringLiteral("TMIN ="), QStringLiteral("txtTmin"));
    addLabel(4, xNote, y, QStringLiteral("LSCREEN = 1 - да,"));
    addLabel(4, xNote, y + kLine, QStringLiteral("LSCREEN = 0 - нет"));
    addLabel(4, xNote, y + 2 * kLine, QStringLiteral("(поиск min W(t), TMIN <= t <= TMAX)"));
    addLabel(4, 10, y += 2 * kRow + 36, QStringLiteral("7) Графическое представление результатов:"));
    y += 26;
    txtLgraph = addField(4, 20, y, lw4, QStringLiteral("LGRAPH ="), QStringLiteral("txtLgraph"));
    addLabel(4, xNote, y, QStringLiteral("LGRAPH = 1 - в физической плоскости,"));
    addLabel(4, xNote, y + kLine, QStringLiteral("LGRAPH = 2 - в фазовой плоскости,"));
    addLabel(4, xNote, y + 2 * kLine, QStringLiteral("LGRAPH = 3 - в плоскости Пуанкаре"));
    addLabel(4, xNote, y + 3 * kLine, QStringLiteral("(LSCREEN = 0 при LGRAPH = 2,3)."));
    addLabel(4, 10, y += 4 * kLine + 22, QStringLiteral("8) Порции выдачи результатов на график:"));
    y += 26;
    txtLstep = addField(4, 20, y, lw4, QStringLiteral("LSTEP ="), QStringLiteral("txtLstep"));
    addLabel(4, 48, y + kRow + 4, QStringLiteral("LSTEP = 0 - непрерывная выдача на отрезке [0,TMAX],"));
    addLabel(4, 48, y + kRow + 4 + kLine,
             QStringLiteral("LSTEP > 0 - порция шагов интегрирования c непрерывной"));
    addLabel(4, 48, y + kRow + 4 + 2 * kLine,
             QStringLiteral("выдачей - до изменения TMAX. В дальнейшем LSTEP = 0."));

    // ---- sheet 5: plotted components, table density, plot bounds
    const int lw5 = 120;
    addLabel(5, 10, y = 8, QStringLiteral("9) Номера компонент, выводимых на график"));
    txtI1G = addField(5, 20, y += 28, 0, QString(), QStringLiteral("txtI1G"), 300);
    {
        // The continuation lines start under the text after the opening parenthesis.
        QLabel* first = addLabel(5, 48, y + kRow + 2, QStringLiteral("(NCOMP <= 12"));
        const int x2 = 48 + first->fontMetrics().horizontalAdvance(QStringLiteral("("));
        addLabel(5, x2, y + kRow + 2 + kLine, QStringLiteral("NCOMP <= NDIM при LGRAPH = 1"));
        addLabel(5, x2, y + kRow + 2 + 2 * kLine, QStringLiteral("NCOMP  = 2    при LGRAPH = 2,3)"));
    }
    addLabel(5, 10, y += kRow + 3 * kLine + 30, QStringLiteral("10) Плотность выдачи результатов в таблицу"));
    txtNsc = addField(5, 20, y += 28, lw5, QStringLiteral("NSC ="), QStringLiteral("txtNsc"));
    addLabel(5, 10, y += kRow + 30, QStringLiteral("11) Границы интервалов для графиков (в долях ALFA):"));
    y += 28;
    const int yBounds = y;
    txtDlx = addField(5, 20, y, lw5, QStringLiteral("DLX ="), QStringLiteral("txtDlx"));
    txtDrx = addField(5, 20, y += kRow, lw5, QStringLiteral("DRX ="), QStringLiteral("txtDrx"));
    txtDlw = addField(5, 20, y += kRow, lw5, QStringLiteral("DLW ="), QStringLiteral("txtDlw"));
    txtDrw = addField(5, 20, y += kRow, lw5, QStringLiteral("DRW ="), QStringLiteral("txtDrw"));
    txtSclt = addField(5, 20, y += kRow, lw5, QStringLiteral("SCLT ="), QStringLiteral("txtSclt"));
    // The bounds line up on their "<=" signs in a fixed-pitch font: the time line, six
    // characters shorter on the left, starts six characters further right.
    const QFont mono(QStringLiteral("Liberation Mono"), 9);
    const QString bounds[] = {QStringLiteral("ALFA * DLX <= X(i) <= ALFA * DRX"),
                              QStringLiteral("ALFA * DLW <=  W   <= ALFA * DRW"),
                              QStringLiteral("SCLT <=  t   <= TMAX")};
    const int shift[] = {0, 0, 6};
    for (int i = 0; i < 3; ++i) {
        QLabel* l = addLabel(5, 380, yBounds + 14 + i * kLine, QString());
        l->setFont(mono);
        l->setText(bounds[i]);
        l->move(l->x() + l->fontMetrics().horizontalAdvance(QString(shift[i], QLatin1Char(' '))), l->y());
        l->resize(l->sizeHint().width() + 4, l->height());
    }
}

void frmUni_21::fillFields() {
    const Sec21::Fields f = Sec21::fieldsFromStore();
    txtMclass->setText(q(f.mclass));
    txtNdim->setText(q(f.ndim));
    txtAlfa->setText(q(f.alfa));
    txtBeta->setText(q(f.beta));
    txtGama->setText(q(f.gama));
    txtI1N->setText(q(f.i1n));
    txtXI1->setText(q(f.xi1));
    txtTmax->setText(q(f.tmax));
    txtHHH->setText(q(f.hhh));
    txtLscreen->setText(q(f.lscreen));
    txtTmin->setText(q(f.tmin));
    txtLgraph->setText(q(f.lgraph));
    txtLstep->setText(q(f.lstep));
    txtI1G->setText(q(f.i1g));
    txtNsc->setText(q(f.nsc));
    txtDlx->setText(q(f.dlx));
    txtDrx->setText(q(f.drx));
    txtDlw->setText(q(f.dlw));
    txtDrw->setText(q(f.drw));
    txtSclt->setText(q(f.sclt));
}

void frmUni_21::Matr_Dspl(bool zeros) {
    const int n = mdlGlobal.NDIM;
    // Values in rows and columns 2..NDIM+1; Grid_Paint frames them in rows and columns 1
    // and NDIM+2.
    grdTable1->setGrid(Sec21::matrixGrid(mdlGlobal.MC, n, zeros), 2, n + 1, 2, n + 1, n + 2, n + 2);
    fitMatrix(grdTable1);
}

void frmUni_21::Tabl1_Dspl(bool zeros) {
    grdTable2->setVectorGrid(vectorGrid(mdlGlobal.XP, mdlGlobal.NDIM, zeros));
}

void frmUni_21::Tabl2_Dspl(bool zeros) {
    grdTable3->setVectorGrid(vectorGrid(mdlGlobal.FP, mdlGlobal.NDIM, zeros));
}

void frmUni_21::fillGrids(bool zeros) {
    Matr_Dspl(zeros);
    Tabl1_Dspl(zeros);
    Tabl2_Dspl(zeros);
}

void frmUni_21::setDimension(i16 n) { mdlGlobal.NDIM = n; }

Sec21::Fields frmUni_21::currentFields() const {
    Sec21::Fields f;
    f.mclass = s(txtMclass);
    f.ndim = s(txtNdim);
    f.alfa = s(txtAlfa);
    f.beta = s(txtBeta);
    f.gama = s(txtGama);
    f.i1n = s(txtI1N);
    f.xi1 = s(txtXI1);
    f.mc = grdTable1->text();
    f.xp = grdTable2->text();
    f.fp = grdTable3->text();
    f.tmax = s(txtTmax);
    f.hhh = s(txtHHH);
    f.lscreen = s(txtLscreen);
    f.tmin = s(txtTmin);
    f.lgraph = s(txtLgraph);
    f.lstep = s(txtLstep);
    f.i1g = s(txtI1G);
    f.nsc = s(txtNsc);
    f.dlx = s(txtDlx);
    f.drx = s(txtDrx);
    f.dlw = s(txtDlw);
    f.drw = s(txtDrw);
    f.sclt = s(txtSclt);
    return f;
}

void frmUni_21::writeDataFile(const std::string& path) {
    const Sec21::Fields f = currentFields();
    const int n = f.xp.cols() - 3;
    checkTexts(f, n);
    // The matrix and the vectors are written at the grids' own size: another section's
    // reading may have changed NDIM while this window stood open.
    struct Restore {
        i16 saved = mdlGlobal.NDIM;
        ~Restore() { mdlGlobal.NDIM = saved; }
    } restore;
    mdlGlobal.NDIM = static_cast<i16>(n);
    Sec21::Table_File(path, f);
}

} // namespace velta
