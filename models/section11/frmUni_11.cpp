#include "models/section11/frmUni_11.h"

#include <QLabel>

namespace velta {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QLineEdit* e) { return e->text().toStdString(); }

// Vertical pitch of the rows of a sheet and of the explanatory lines.
constexpr int kRow = 26;
constexpr int kLine = 18;

} // namespace

frmUni_11::frmUni_11(FormHost& host)
    : SectionForm(host, 11, QStringLiteral("Симметричные ГГС\\Автономная система"), 4) {
    // ---- sheet 1: the model and the initial data
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели  M(NDIM,KMOD) классов 1-4"));
    const int lw1 = 420;
    int y = 36;
    txtMclass = addField(1, 20, y, lw1, QStringLiteral("Номер класса,  MCLASS ="), QStringLiteral("txtMclass"));
    txtNdim = addField(1, 20, y += kRow, lw1,
                       QStringLiteral("Число элементов ГГС (размерность системы),  NDIM ="),
                       QStringLiteral("txtNdim"));
    txtKmod = addField(1, 20, y += kRow, lw1,
                       QStringLiteral("Число элементов, объединенных регуляторными связями,  KMOD ="),
                       QStringLiteral("txtKmod"));
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
                   "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");

    // ---- sheet 2: the Poincaré plane
    addLabel(2, 10, 8, QStringLiteral("3) Задание плоскости Пуанкаре: (N, X-Xo) = 0"));
    addLabel(2, 20, 44, QStringLiteral("Компоненты вектора  Xo"));
    grdTable1 = addGrid(2, 20, 68, QStringLiteral("grdTable1"));
    addLabel(2, 20, 196, QStringLiteral("Компоненты вектора нормали  N"));
    grdTable2 = addGrid(2, 20, 220, QStringLiteral("grdTable2"));

    // ---- sheet 3: integration, period, plotting
    const int lw3 = 330, xNote = 500;
    addLabel(3, 10, y = 8, QStringLiteral("4) Параметры интегрирования"));
    txtTmax = addField(3, 20, y += 28, lw3,
                       QStringLiteral("Интервал интегрирования:  0 <= t <= TMAX,  TMAX ="),
                       QStringLiteral("txtTmax"));
    txtHHH = addField(3, 20, y += kRow, lw3, QStringLiteral("Шаг интегрирования,  HHH ="),
                      QStringLiteral("txtHHH"));
    addLabel(3, 10, y += 38, QStringLiteral("5) Определение периода:"));
    y += 26;
    txtLscreen = addField(3, 20, y, lw3, QStringLiteral("LSCREEN ="), QStringLiteral("txtLscreen"));
    txtTmin = addField(3, 20, y + kRow, lw3, QStringLiteral("TMIN ="), QStringLiteral("txtTmin"));
    addLabel(3, xNote, y, QStringLiteral("    LSCREEN = 1 - да,"));
    addLabel(3, xNote, y + kLine, QStringLiteral("    LSCREEN = 0 - нет"));
    addLabel(3, xNote, y + 2 * kLine, QStringLiteral("    (поиск min W(t), TMIN <= t <= TMAX)    "));
    addLabel(3, 10, y += 2 * kRow + 36, QStringLiteral("6) Графическое представление результатов:"));
    y += 26;
    txtLgraph = addField(3, 20, y, lw3, QStringLiteral("LGRAPH ="), QStringLiteral("txtLgraph"));
    addLabel(3, xNote, y, QStringLiteral("    LGRAPH = 1 - в физической плоскости,"));
    addLabel(3, xNote, y + kLine, QStringLiteral("    LGRAPH = 2 - в фазовой плоскости,"));
    addLabel(3, xNote, y + 2 * kLine, QStringLiteral("    LGRAPH = 3 - в плоскости Пуанкаре "));
    addLabel(3, xNote, y + 3 * kLine, QStringLiteral("    (LSCREEN = 0 при LGRAPH = 2,3)."));
    addLabel(3, 10, y += 4 * kLine + 22, QStringLiteral("7) Порции выдачи результатов на график:"));
    y += 26;
    txtLstep = addField(3, 20, y, lw3, QStringLiteral("LSTEP ="), QStringLiteral("txtLstep"));
    addLabel(3, 20, y + kRow + 4,
             QStringLiteral("    LSTEP = 0 - непрерывная выдача на отрезке [0,TMAX],"));
    addLabel(3, 20, y + kRow + 4 + kLine,
             QStringLiteral("    LSTEP > 0 - порция шагов интегрирования c непрерывной"));
    addLabel(3, 20, y + kRow + 4 + 2 * kLine,
             QStringLiteral("    выдачей - до изменения TMAX. В дальнейшем LSTEP = 0."));

    // ---- sheet 4: plotted components, table density, plot bounds
    const int lw4 = 120;
    addLabel(4, 10, y = 8, QStringLiteral("8) Номера компонент, выводимых на график"));
    txtI1G = addField(4, 20, y += 28, 0, QString(), QStringLiteral("txtI1G"), 300);
    addLabel(4, 20, y + kRow + 2, QStringLiteral("    (NCOMP <= 12"));
    addLabel(4, 20, y + kRow + 2 + kLine, QStringLiteral("     NCOMP <= NDIM при LGRAPH = 1"));
    addLabel(4, 20, y + kRow + 2 + 2 * kLine, QStringLiteral("     NCOMP  = 2    при LGRAPH = 2,3)"));
    addLabel(4, 10, y += kRow + 3 * kLine + 30, QStringLiteral("9) Плотность выдачи результатов в таблицу"));
    txtNsc = addField(4, 20, y += 28, lw4, QStringLiteral("NSC ="), QStringLiteral("txtNsc"));
    addLabel(4, 10, y += kRow + 30, QStringLiteral("10) Границы интервалов для графиков (в долях ALFA):"));
    y += 28;
    const int yBounds = y;
    txtDlx = addField(4, 20, y, lw4, QStringLiteral("DLX ="), QStringLiteral("txtDlx"));
    txtDrx = addField(4, 20, y += kRow, lw4, QStringLiteral("DRX ="), QStringLiteral("txtDrx"));
    txtDlw = addField(4, 20, y += kRow, lw4, QStringLiteral("DLW ="), QStringLiteral("txtDlw"));
    txtDrw = addField(4, 20, y += kRow, lw4, QStringLiteral("DRW ="), QStringLiteral("txtDrw"));
    txtSclt = addField(4, 20, y += kRow, lw4, QStringLiteral("SCLT ="), QStringLiteral("txtSclt"));
    // The three bounds are aligned by blanks: a fixed-pitch font keeps them in columns.
    const QFont mono(QStringLiteral("Liberation Mono"), 9);
    const char* bounds[] = {"           ALFA * DLX <= X(i) <= ALFA * DRX",
                            "           ALFA * DLW <=  W   <= ALFA * DRW",
                            "                 SCLT <=  t   <= TMAX"};
    for (int i = 0; i < 3; ++i) {
        QLabel* l = addLabel(4, 300, yBounds + 14 + i * kLine, QString());
        l->setFont(mono);
        l->setText(QString::fromUtf8(bounds[i]));
        l->resize(l->sizeHint().width() + 4, l->height());
    }
}

void frmUni_11::fillFields() {
    const Sec11::Fields f = Sec11::fieldsFromStore();
    txtMclass->setText(q(f.mclass));
    txtNdim->setText(q(f.ndim));
    txtKmod->setText(q(f.kmod));
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

void frmUni_11::Tabl1_Dspl(bool zeros) {
    grdTable1->setVectorGrid(vectorGrid(mdlGlobal.XP, mdlGlobal.NDIM, zeros));
}

void frmUni_11::Tabl2_Dspl(bool zeros) {
    grdTable2->setVectorGrid(vectorGrid(mdlGlobal.FP, mdlGlobal.NDIM, zeros));
}

void frmUni_11::fillGrids(bool zeros) {
    Tabl1_Dspl(zeros);
    Tabl2_Dspl(zeros);
}

void frmUni_11::setDimension(i16 n) { mdlGlobal.NDIM = n; }

Sec11::Fields frmUni_11::currentFields() const {
    Sec11::Fields f;
    f.mclass = s(txtMclass);
    f.ndim = s(txtNdim);
    f.kmod = s(txtKmod);
    f.alfa = s(txtAlfa);
    f.beta = s(txtBeta);
    f.gama = s(txtGama);
    f.i1n = s(txtI1N);
    f.xi1 = s(txtXI1);
    f.xp = grdTable1->text();
    f.fp = grdTable2->text();
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

void frmUni_11::writeDataFile(const std::string& path) {
    const Sec11::Fields f = currentFields();
    // The grid rows are written at the grids' own length: another section's reading may
    // have changed NDIM while this window stood open.
    struct Restore {
        i16 saved = mdlGlobal.NDIM;
        ~Restore() { mdlGlobal.NDIM = saved; }
    } restore;
    mdlGlobal.NDIM = static_cast<i16>(f.xp.cols() - 3);
    Sec11::Table_File(path, f);
}

} // namespace velta
