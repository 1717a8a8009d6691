#include "synthesis/section511/frmUni_511.h"

#include <QLabel>

namespace velta {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QLineEdit* e) { return e->text().toStdString(); }

// Vertical pitch of the rows of a sheet and of the explanatory lines.
constexpr int kRow = 26;
constexpr int kLine = 18;

} // namespace

frmUni_511::frmUni_511(FormHost& host)
    : SectionForm(host, 511, QStringLiteral("Синтез\\Кодирование одним ГЭ\\Автономная система   "), 3) {
    // ---- sheet 1: the model and the initial data
    addLabel(1, 10, 8, QStringLiteral("1) Параметры математической модели"));
    const int lw1 = 300;
    int y = 36;
    txtNdim = addField(1, 20, y, lw1, QStringLiteral("Число уравнений системы,  NDIM ="),
                       QStringLiteral("txtNdim"));
    txtAlfa = addField(1, 20, y += kRow, lw1, QStringLiteral(" ALFA ="), QStringLiteral("txtAlfa"));
    txtBeta = addField(1, 20, y += kRow, lw1, QStringLiteral(" BETA ="), QStringLiteral("txtBeta"));
    txtGama = addField(1, 20, y += kRow, lw1, QStringLiteral(" GAMA ="), QStringLiteral("txtGama"));
    txtTeta = addField(1, 20, y += kRow, lw1, QStringLiteral(" TETA ="), QStringLiteral("txtTeta"));
    txtOmeg = addField(1, 20, y += kRow, lw1, QStringLiteral(" OMEG ="), QStringLiteral("txtOmeg"));
    txtTau1 = addField(1, 20, y += kRow, lw1, QStringLiteral(" TAU1 ="), QStringLiteral("txtTau1"));
    txtTau2 = addField(1, 20, y += kRow, lw1, QStringLiteral("TAU2 ="), QStringLiteral("txtTau2"));
    addLabel(1, 10, y += 44, QStringLiteral("2) Варианты задания начальных данных:"));
    addLabel(1, 48, y += 22, QStringLiteral("IND = 0 - \"возмущенное\" стационарное решение,"));
    addLabel(1, 48, y += kLine, QStringLiteral("IND = 1 - \"возмущенное\" нулевое решение."));
    txtIND = addField(1, 20, y += 30, lw1, QStringLiteral("IND ="), QStringLiteral("txtIND"));
    txtX_Ndim = addField(1, 20, y += kRow, lw1,
                         QStringLiteral("\"Возмущение\" компоненты  X(NDIM),  X_NDIM ="),
                         QStringLiteral("txtX_Ndim"));
    txtX_1 = addField(1, 20, y += kRow, lw1, QStringLiteral("\"Возмущение\" компоненты  X(1),  X_1 ="),
                      QStringLiteral("txtX_1"));

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
    addLabel(2, xNote, y, QStringLiteral("LSCREEN = 1 - да,"));
    addLabel(2, xNote, y + kLine, QStringLiteral("LSCREEN = 0 - нет"));
    addLabel(2, xNote, y + 2 * kLine, QStringLiteral("(поиск min W(t), TMIN <= t <= TMAX)"));
    addLabel(2, 10, y += 2 * kRow + 36, QStringLiteral("5) Графическое представление результатов:"));
    y += 26;
    txtLgraph = addField(2, 20, y, lw2, QStringLiteral("LGRAPH ="), QStringLiteral("txtLgraph"));
    addLabel(2, xNote, y, QStringLiteral("LGRAPH = 1 - в физической плоскости,"));
    addLabel(2, xNote, y + kLine, QStringLiteral("LGRAPH = 2 - в фазовой плоскости"));
    addLabel(2, xNote, y + 2 * kLine, QStringLiteral("(LSCREEN = 0 при LGRAPH = 2)."));

    // ---- sheet 3: plotted components, table density, plot bounds
    const int lw3 = 200;
    addLabel(3, 10, y = 8, QStringLiteral("6) Номера компонент, выводимых на график"));
    txtI1G = addField(3, 20, y += 28, 0, QString(), QStringLiteral("txtI1G"), 300);
    {
        // The continuation lines start under the text after the opening parenthesis.
        QLabel* first = addLabel(3, 48, y + kRow + 2, QStringLiteral("(NCOMP <= 12"));
        const int x2 = 48 + first->fontMetrics().horizontalAdvance(QStringLiteral("("));
        addLabel(3, x2, y + kRow + 2 + kLine, QStringLiteral("NCOMP <= NDIM при LGRAPH = 1"));
        addLabel(3, x2, y + kRow + 2 + 2 * kLine, QStringLiteral("NCOMP  = 2    при LGRAPH = 2)"));
    }
    addLabel(3, 10, y += kRow + 3 * kLine + 30, QStringLiteral("7) Плотность таблицы выдачи результатов:"));
    txtNss = addField(3, 20, y += 28, lw3, QStringLiteral("- стационарное решение,  NSS ="),
                      QStringLiteral("txtNss"));
    txtNsc = addField(3, 20, y += kRow, lw3, QStringLiteral("- решение задачи Коши,   NSC ="),
                      QStringLiteral("txtNsc"));
    addLabel(3, 10, y += kRow + 30, QStringLiteral("8) Границы интервалов для графиков:"));
    y += 28;
    const int yBounds = y;
    txtSclx = addField(3, 20, y, lw3, QStringLiteral("SCLX ="), QStringLiteral("txtSclx"));
    txtScrx = addField(3, 20, y += kRow, lw3, QStringLiteral("SCRX ="), QStringLiteral("txtScrx"));
    txtSclw = addField(3, 20, y += kRow, lw3, QStringLiteral("SCLW ="), QStringLiteral("txtSclw"));
    txtScrw = addField(3, 20, y += kRow, lw3, QStringLiteral("SCRW ="), QStringLiteral("txtScrw"));
    txtSclt = addField(3, 20, y += kRow, lw3, QStringLiteral("SCLT ="), QStringLiteral("txtSclt"));
    // The bounds line up on their "<=" signs in a fixed-pitch font.
    const QFont mono(QStringLiteral("Liberation Mono"), 9);
    const QString bounds[] = {QStringLiteral("SCLX <= X(i) <= SCRX"), QStringLiteral("SCLW <=  W   <= SCRW"),
                              QStringLiteral("SCLT <=  t   <= TMAX")};
    for (int i = 0; i < 3; ++i) {
        QLabel* l = addLabel(3, 420, yBounds + 14 + i * kLine, QString());
        l->setFont(mono);
        l->setText(bounds[i]);
        l->resize(l->sizeHint().width() + 4, l->height());
    }
}

void frmUni_511::fillFields() {
    const Sec511::Fields f = Sec511::fieldsFromStore();
    txtNdim->setText(q(f.ndim));
    txtAlfa->setText(q(f.alfa));
    txtBeta->setText(q(f.beta));
    txtGama->setText(q(f.gama));
    txtTeta->setText(q(f.teta));
    txtOmeg->setText(q(f.omeg));
    txtTau1->setText(q(f.tau1));
    txtTau2->setText(q(f.tau2));
    txtIND->setText(q(f.ind));
    txtX_Ndim->setText(q(f.xndim));
    txtX_1->setText(q(f.x1));
    txtTmax->setText(q(f.tmax));
    txtHHH->setText(q(f.hhh));
    txtLscreen->setText(q(f.lscreen));
    txtTmin->setText(q(f.tmin));
    txtLgraph->setText(q(f.lgraph));
    txtI1G->setText(q(f.i1g));
    txtNss->setText(q(f.nss));
    txtNsc->setText(q(f.nsc));
    txtSclx->setText(q(f.sclx));
    txtScrx->setText(q(f.scrx));
    txtSclw->setText(q(f.sclw));
    txtScrw->setText(q(f.scrw));
    txtSclt->setText(q(f.sclt));
}

// The window has no grids, so no field sizes anything.
void frmUni_511::fillGrids(bool) {}
void frmUni_511::setDimension(i16) {}

Sec511::Fields frmUni_511::currentFields() const {
    Sec511::Fields f;
    f.ndim = s(txtNdim);
    f.alfa = s(txtAlfa);
    f.beta = s(txtBeta);
    f.gama = s(txtGama);
    f.teta = s(txtTeta);
    f.omeg = s(txtOmeg);
    f.tau1 = s(txtTau1);
    f.tau2 = s(txtTau2);
    f.ind = s(txtIND);
    f.xndim = s(txtX_Ndim);
    f.x1 = s(txtX_1);
    f.tmax = s(txtTmax);
    f.hhh = s(txtHHH);
    f.lscreen = s(txtLscreen);
    f.tmin = s(txtTmin);
    f.lgraph = s(txtLgraph);
    f.i1g = s(txtI1G);
    f.nss = s(txtNss);
    f.nsc = s(txtNsc);
    f.sclx = s(txtSclx);
    f.scrx = s(txtScrx);
    f.sclw = s(txtSclw);
    f.scrw = s(txtScrw);
    f.sclt = s(txtSclt);
    return f;
}

void frmUni_511::writeDataFile(const std::string& path) { Sec511::Table_File(path, currentFields()); }

} // namespace velta
