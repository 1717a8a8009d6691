#include "synthesis/section521/frmUni_521.h"

#include <QLabel>

namespace velta {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QLineEdit* e) { return e->text().toStdString(); }

// Vertical pitch of the rows of a sheet and of the explanatory lines.
constexpr int kRow = 26;
constexpr int kLine = 18;

} // namespace

frmUni_521::frmUni_521(FormHost& host)
    : SectionForm(host, 521, QStringLiteral("Синтез\\Кодирование двумя ГЭ\\Автономная система"), 3) {
    // ---- sheet 1: the model and the initial data
    addLabel(1, 10, 8, QStringLiteral("1) Параметры математической модели."));
    addLabel(1, 48, 30, QStringLiteral("Число уравнений системы"));
    addLabel(1, 48, 30 + kLine, QStringLiteral("NDIM = NDIM1 + NDIM2 - 1"));
    const int lw1 = 300;
    int y = 30 + kLine + 30;
    txtNdim1_Ndim2 = addField(1, 20, y, lw1, QStringLiteral("NDIM1, NDIM2 ="),
                              QStringLiteral("txtNdim1_Ndim2"));
    txtAlfa = addField(1, 20, y += kRow, lw1, QStringLiteral(" ALFA ="), QStringLiteral("txtAlfa"));
    txtBeta1_Beta2 = addField(1, 20, y += kRow, lw1, QStringLiteral(" BETA1, BETA2 ="),
                              QStringLiteral("txtBeta1_Beta2"));
    txtGama1_Gama2 = addField(1, 20, y += kRow, lw1, QStringLiteral(" GAMA1, GAMA2 ="),
                              QStringLiteral("txtGama1_Gama2"));
    txtTau1_Tau2 = addField(1, 20, y += kRow, lw1, QStringLiteral("TAU1, TAU2 ="),
                            QStringLiteral("txtTau1_Tau2"));
    txtTeta = addField(1, 20, y += kRow, lw1, QStringLiteral(" TETA ="), QStringLiteral("txtTeta"));
    addLabel(1, 10, y += 44, QStringLiteral("2) Начальные данные:  X(i) = 0, i = 1,...,NDIM."));
    addLabel(1, 48, y += 22, QStringLiteral("Варианты задания начальных данных:"));
    addLabel(1, 48, y += kLine, QStringLiteral("IND = 0 - \"возмущенное\" стационарное решение,"));
    addLabel(1, 48, y += kLine, QStringLiteral("IND = 1 - нулевые начальные данные."));
    txtIND = addField(1, 20, y += 30, lw1, QStringLiteral("IND ="), QStringLiteral("txtIND"));
    txtX_Ndim = addField(1, 20, y += kRow, lw1,
                         QStringLiteral("\"Возмущение\" компоненты  X(NDIM),  X_NDIM ="),
                         QStringLiteral("txtX_Ndim"));

    // ---- sheet 2: integration, period, plotting
    const int lw2 = 330, xNote = 500;
    addLabel(2, 10, y = 8, QStringLiteral("3) Параметры интегрирования"));
    txtTmax = addField(2, 20, y += 28, lw2,
                       QStringLiteral("Интервал интегрирования:  0 <= t <= TMAX,  TMAX ="),
                       QStringLiteral("txtTmax"));
    txtHHH = addField(2, 20, y += kRow, lw2, QStringLiteral("Шаг интегрирования,  HHH ="),
                      QStringLiteral("txtHHH"));
    addLabel(2, 10, y += 38, QStringLiteral("4) Определение периода:"));
    y += 26;
    txtLscreen = addField(2, 20, y, lw2, QStringLiteral("LSCREEN ="), QStringLiteral("txtLscreen"));
    txtTmin = addField(2, 20, y + kRow, lw2, QStringLiteral("TMIN ="), QStringLiteral("txtTmin"));
    addLabel(2, 10, y += 2 * kRow + 36, QStringLiteral("5) Графическое представление результатов:"));
    y += 26;
    txtLgraph = addField(2, 20, y, lw2, QStringLiteral("LGRAPH ="), QStringLiteral("txtLgraph"));
    addLabel(2, xNote, y, QStringLiteral("LGRAPH = 1 - в физической плоскости,"));
    addLabel(2, xNote, y + kLine, QStringLiteral("LGRAPH = 2 - в фазовой плоскости"));
    addLabel(2, xNote, y + 2 * kLine, QStringLiteral("(LSCREEN = 0 при LGRAPH = 2)."));

    // ---- sheet 3: plotted components, table density, plot bounds
    const int lw3 = 120;
    addLabel(3, 10, y = 8, QStringLiteral("6) Номера компонент, выводимых на график"));
    txtI1G = addField(3, 20, y += 28, 0, QString(), QStringLiteral("txtI1G"), 300);
    addLabel(3, 10, y += kRow + 30, QStringLiteral("7) Плотность выдачи результатов в таблицу"));
    txtNsc = addField(3, 20, y += 28, lw3, QStringLiteral("NSC ="), QStringLiteral("txtNsc"));
    addLabel(3, 10, y += kRow + 30, QStringLiteral("8) Границы интервалов для графиков (в долях ALFA):"));
    y += 28;
    const int yBounds = y;
    txtDlx = addField(3, 20, y, lw3, QStringLiteral("DLX ="), QStringLiteral("txtDlx"));
    txtDrx = addField(3, 20, y += kRow, lw3, QStringLiteral("DRX ="), QStringLiteral("txtDrx"));
    txtDlw = addField(3, 20, y += kRow, lw3, QStringLiteral("DLW ="), QStringLiteral("txtDlw"));
    txtDrw = addField(3, 20, y += kRow, lw3, QStringLiteral("DRW ="), QStringLiteral("txtDrw"));
    txtSclt = addField(3, 20, y += kRow, lw3, QStringLiteral("SCLT ="), QStringLiteral("txtSclt"));
    // The bounds line up on their "<=" signs in a fixed-pitch font: the time line, six
    // characters shorter on the left, starts six characters further right.
    const QFont mono(QStringLiteral("Liberation Mono"), 9);
    const QString bounds[] = {QStringLiteral("ALFA * DLX <= X(i) <= ALFA * DRX"),
                              QStringLiteral("ALFA * DLW <=  W   <= ALFA * DRW"),
                              QStringLiteral("SCLT <=  t   <= TMAX")};
    const int shift[] = {0, 0, 6};
    for (int i = 0; i < 3; ++i) {
        QLabel* l = addLabel(3, 380, yBounds + 14 + i * kLine, QString());
        l->setFont(mono);
        l->setText(bounds[i]);
        l->move(l->x() + l->fontMetrics().horizontalAdvance(QString(shift[i], QLatin1Char(' '))), l->y());
        l->resize(l->sizeHint().width() + 4, l->height());
    }
}

void frmUni_521::fillFields() {
    const Sec521::Fields f = Sec521::fieldsFromStore();
    txtNdim1_Ndim2->setText(q(f.ndim12));
    txtAlfa->setText(q(f.alfa));
    txtBeta1_Beta2->setText(q(f.beta12));
    txtGama1_Gama2->setText(q(f.gama12));
    txtTau1_Tau2->setText(q(f.tau12));
    txtTeta->setText(q(f.teta));
    txtIND->setText(q(f.ind));
    txtX_Ndim->setText(q(f.xndim));
    txtTmax->setText(q(f.tmax));
    txtHHH->setText(q(f.hhh));
    txtLscreen->setText(q(f.lscreen));
    txtTmin->setText(q(f.tmin));
    txtLgraph->setText(q(f.lgraph));
    txtI1G->setText(q(f.i1g));
    txtNsc->setText(q(f.nsc));
    txtDlx->setText(q(f.dlx));
    txtDrx->setText(q(f.drx));
    txtDlw->setText(q(f.dlw));
    txtDrw->setText(q(f.drw));
    txtSclt->setText(q(f.sclt));
}

// The window has no grids, so no field sizes anything.
void frmUni_521::fillGrids(bool) {}
void frmUni_521::setDimension(i16) {}

Sec521::Fields frmUni_521::currentFields() const {
    Sec521::Fields f;
    f.ndim12 = s(txtNdim1_Ndim2);
    f.alfa = s(txtAlfa);
    f.beta12 = s(txtBeta1_Beta2);
    f.gama12 = s(txtGama1_Gama2);
    f.tau12 = s(txtTau1_Tau2);
    f.teta = s(txtTeta);
    f.ind = s(txtIND);
    f.xndim = s(txtX_Ndim);
    f.tmax = s(txtTmax);
    f.hhh = s(txtHHH);
    f.lscreen = s(txtLscreen);
    f.tmin = s(txtTmin);
    f.lgraph = s(txtLgraph);
    f.i1g = s(txtI1G);
    f.nsc = s(txtNsc);
    f.dlx = s(txtDlx);
    f.drx = s(txtDrx);
    f.dlw = s(txtDlw);
    f.drw = s(txtDrw);
    f.sclt = s(txtSclt);
    return f;
}

void frmUni_521::writeDataFile(const std::string& path) { Sec521::Table_File(path, currentFields()); }

} // namespace velta
