#include "models/section6/frmUni_6.h"

#include "app/prompter.h"
#include "data/forms/qtext.h"
#include "data/numtext.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace velta {

namespace {

constexpr int kRow = 26;
constexpr int kLine = 18;

const std::string kMdimReminder =
    "После изменения  MDIM  не забудьте\nскорректировать таблицу на Листах #2, #4";
const std::string kLtauReminder =
    "После изменения  LTAU  не забудьте\nскорректировать таблицу на Листах #3, #4";

// Place of the grids on their sheets and the room they may take.
constexpr int kGridLeft = 20, kGridTop = 48;
constexpr int kGridMaxWidth = SectionForm::kFrameWidth - 2 * kGridLeft;
constexpr int kGridMaxHeight = SectionForm::kFrameHeight - kGridTop - 10;
constexpr int kIndexWidth = 60;  // the header column of the parameter and BETA grids

// Every column 600 twips wide, the header column a little wider; a grid too large for
// the sheet scrolls in both directions.
void fitGrid(FormGrid* g) {
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    for (int c = 0; c < g->columnCount(); ++c)
        g->setColumnWidth(c, c == 0 ? kIndexWidth : FormGrid::kColWidth);
    const int fw = 2 * g->frameWidth();
    const int vbar = g->verticalScrollBar()->sizeHint().width();
    const int hbar = g->horizontalScrollBar()->sizeHint().height();
    int w = fw + kIndexWidth + (g->columnCount() - 1) * FormGrid::kColWidth;
    int h = fw + g->rowCount() * FormGrid::kRowHeight;
    bool hs = w > kGridMaxWidth, vs = h > kGridMaxHeight;
    if (hs) h += hbar;
    if (h > kGridMaxHeight) vs = true;
    if (vs) {
        w += vbar;
        if (w > kGridMaxWidth && !hs) {
            hs = true;
            h += hbar;
        }
    }
    g->resize(std::min(w, kGridMaxWidth), std::min(h, kGridMaxHeight));
}

}  // namespace

frmUni_6::frmUni_6(FormHost& host)
    : SectionForm(host, 6, QStringLiteral("Система уравнений с запаздываниями"), 6) {
    // ---- sheet 1: class and dimensions
    const int lw1 = 300;
    int y = 8;
    addLabel(1, 10, y, QStringLiteral("1) Параметры модели, класс 1-4"));
    txtMclass = addField(1, 20, y += 28, lw1, QStringLiteral("Номер класса,  MCLASS ="),
                         QStringLiteral("txtMclass"));
    txtMDIM = addField(1, 20, y += kRow, lw1, QStringLiteral("Число уравнений,  MDIM ="),
                       QStringLiteral("txtMDIM"));
    txtLTAU = addField(1, 20, y += kRow, lw1, QStringLiteral("Число запаздываний,  LTAU ="),
                       QStringLiteral("txtLTAU"));
    connect(txtMDIM, &QLineEdit::textChanged, this, [this] { mdimChanged_ = true; });
    connect(txtLTAU, &QLineEdit::textChanged, this, [this] { ltauChanged_ = true; });
    txtMDIM->installEventFilter(this);
    txtLTAU->installEventFilter(this);

    // ---- sheets 2, 3, 4: the grids
    addLabel(2, 10, 8, QStringLiteral("Значения параметров ALFA(j), GAMA(j), TETA(j), j = 1,...,MDIM"));
    grdTable1 = addGrid(2, kGridLeft, kGridTop, QStringLiteral("grdTable1"), kGridMaxWidth);
    addLabel(3, 10, 8,
             QStringLiteral("2) Значения запаздываний TAU(i), i = 1,...,LTAU (в порядке возрастания)"));
    grdTable2 = addGrid(3, kGridLeft, kGridTop, QStringLiteral("grdTable2"), kGridMaxWidth);
    addLabel(4, 10, 8, QStringLiteral("4) Матрица формирования регуляторных связей  BETA(i,j,k)"));
    addLabel(4, 10, 8 + kLine, QStringLiteral("    (i = 1,...,LTAU,  j,k = 1,...,MDIM)"));
    grdTable3 = addGrid(4, kGridLeft, kGridTop, QStringLiteral("grdTable3"), kGridMaxWidth);

    // ---- sheet 5: integration, initial data, plotted components
    const int lw5 = 120, lwList = 230;
    addLabel(5, 10, y = 8, QStringLiteral("5) Параметры численного метода интегрирования"));
    addLabel(5, 10, y += kLine, QStringLiteral("    системы уравнений с запаздываниями"));
    addLabel(5, 10, y += kLine, QStringLiteral("    с постоянным шагом  H = TAU(LTAU) / NDEL"));
    addLabel(5, 10, y += kLine, QStringLiteral("    на отрезке  [0,TMAX]"));
    txtTmax = addField(5, 20, y += 26, lw5, QStringLiteral("TMAX ="), QStringLiteral("txtTmax"));
    txtNDEL = addField(5, 20, y += kRow, lw5, QStringLiteral("NDEL ="), QStringLiteral("txtNDEL"));
    addLabel(5, 10, y += 40, QStringLiteral("6) Постоянные на сетке начальные данные:  Z(i,j) = 0,"));
    addLabel(5, 10, y += kLine, QStringLiteral("    i = 1,...,MDIM,  j = 1,...,NDEL+1"));
    txtI1N = addField(5, 20, y += 26, lwList, QStringLiteral("Номера компонент,  i1,...:"),
                      QStringLiteral("txtI1N"), 300);
    txtZI1 = addField(5, 20, y += kRow, lwList, QStringLiteral("Значения компонент,  Zi1,...:"),
                      QStringLiteral("txtZI1"), 300);
    addLabel(5, 10, y += 40, QStringLiteral("7) Номера компонент, выводимых на график"));
    addLabel(5, 10, y += kLine, QStringLiteral("    (число компонент <= min(12,MDIM))"));
    txtI1G = addField(5, 20, y += 26, 0, QString(), QStringLiteral("txtI1G"), 300);

    // ---- sheet 6: table density and plot bounds
    const int lw6 = 120;
    addLabel(6, 10, y = 8, QStringLiteral("8) Плотность выдачи результатов в таблицу"));
    txtNsc = addField(6, 20, y += 28, lw6, QStringLiteral("NSC ="), QStringLiteral("txtNsc"));
    addLabel(6, 10, y += kRow + 30, QStringLiteral("9) Границы интервалов для графиков"));
    y += 28;
    const int yBounds = y;
    txtSCLX = addField(6, 20, y, lw6, QStringLiteral("SCLX ="), QStringLiteral("txtSCLX"));
    txtSCRX = addField(6, 20, y += kRow, lw6, QStringLiteral("SCRX ="), QStringLiteral("txtSCRX"));
    txtSCLT = addField(6, 20, y += kRow, lw6, QStringLiteral("SCLT ="), QStringLiteral("txtSCLT"));
    // The bounds are aligned by blanks: a fixed-pitch font keeps them in columns.
    const QFont mono(QStringLiteral("Liberation Mono"), 9);
    const char* bounds[] = {"(SCLX <= Z(i) <= SCRX,", " SCLT <=  t   <= TMAX)"};
    for (int i = 0; i < 2; ++i) {
        QLabel* l = addLabel(6, 300, yBounds + 14 + i * kLine, QString());
        l->setFont(mono);
        l->setText(QString::fromUtf8(bounds[i]));
        l->resize(l->sizeHint().width() + 4, l->height());
    }

    // A changed dimension rebuilds its grids at the next sheet switch (after the frame
    // of the chosen sheet is shown) and before "Ввод" asks for a file name.
    connect(tabStrip(), &QTabBar::currentChanged, this, [this] { applyDimensions(); });
    connect(tabStrip(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == tabStrip()->currentIndex()) applyDimensions();
    });
    if (auto* input = findChild<QPushButton*>(QStringLiteral("cmdINput1"))) {
        disconnect(input, &QPushButton::clicked, this, nullptr);
        connect(input, &QPushButton::clicked, this, [this] {
            if (applyDimensions()) accept();
        });
    }
}

bool frmUni_6::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress && (watched == txtMDIM || watched == txtLTAU)) {
        const std::string text = watched == txtMDIM ? kMdimReminder : kLtauReminder;
        // Shown once the press has reached the field, so the field does not keep the mouse.
        QTimer::singleShot(0, this, [this, text] { host_.prompter().message(text); });
    }
    return SectionForm::eventFilter(watched, e);
}

bool frmUni_6::applyDimensions() {
    if (!mdimChanged_ && !ltauChanged_) return true;
    // Both texts are checked before either dimension changes.
    auto read = [this](QLineEdit* field, const std::string& key, int most, i16& out) {
        const std::string text = s(field);
        try {
            out = textToI16(text);
        } catch (const VeltaError&) {
            out = 0;
        }
        if (out < 1 || out > most) {
            host_.prompter().message(
                "Недопустимое значение  " + key + " = " + text + "  (допустимо 1.." + CStr(most) + ")",
                MsgIcon::Exclamation);
            return false;
        }
        return true;
    };
    Store& g = host_.store();
    i16 n = g.MDIM, m = g.LTAU;
    if (mdimChanged_ && !read(txtMDIM, "MDIM", 5, n)) return false;
    if (ltauChanged_ && !read(txtLTAU, "LTAU", 20, m)) return false;
    g.MDIM = n;
    g.LTAU = m;
    if (mdimChanged_) Tabl3_Dspl(true);
    if (ltauChanged_) Tabl2_Dspl(true);
    Matr_Dspl(true);
    mdimChanged_ = ltauChanged_ = false;
    return true;
}

void frmUni_6::fillFields() {
    const Sec6::Fields f = Sec6::fieldsFromStore(host_.store());
    txtMclass->setText(q(f.mclass));
    txtMDIM->setText(q(f.mdim));
    txtLTAU->setText(q(f.ltau));
    txtTmax->setText(q(f.tmax));
    txtNDEL->setText(q(f.ndel));
    txtI1N->setText(q(f.i1n));
    txtZI1->setText(q(f.zi1));
    txtI1G->setText(q(f.i1g));
    txtNsc->setText(q(f.nsc));
    txtSCLX->setText(q(f.sclx));
    txtSCRX->setText(q(f.scrx));
    txtSCLT->setText(q(f.sclt));
}

void frmUni_6::Tabl2_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int m = std::max<int>(g.LTAU, 0);
    grdTable2->setVectorGrid(Sec6::tauGrid(g, m, zeros));
    fitGrid(grdTable2);
}

void frmUni_6::Tabl3_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = std::max<int>(g.MDIM, 0);
    grdTable1->setGrid(Sec6::paramGrid(g, n, zeros), 2, 4, 2, n + 1, n + 2, 5);
    fitGrid(grdTable1);
}

void frmUni_6::Matr_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = std::max<int>(g.MDIM, 0), m = std::max<int>(g.LTAU, 0);
    grdTable3->setGrid(Sec6::betaGrid(g, m, n, zeros), 2, m + 1, 2, n * n + 1, n * n + 2, m + 2);
    fitGrid(grdTable3);
}

// Filled from the store when a file is opened: the fields have just set both marks.
void frmUni_6::fillGrids(bool zeros) {
    Tabl3_Dspl(zeros);
    Tabl2_Dspl(zeros);
    Matr_Dspl(zeros);
    mdimChanged_ = ltauChanged_ = false;
}

Sec6::Fields frmUni_6::currentFields() const {
    Sec6::Fields f;
    f.mclass = s(txtMclass);
    f.mdim = s(txtMDIM);
    f.ltau = s(txtLTAU);
    f.agt = grdTable1->text();
    f.tau = grdTable2->text();
    f.beta = grdTable3->text();
    f.tmax = s(txtTmax);
    f.ndel = s(txtNDEL);
    f.i1n = s(txtI1N);
    f.zi1 = s(txtZI1);
    f.i1g = s(txtI1G);
    f.nsc = s(txtNsc);
    f.sclx = s(txtSCLX);
    f.scrx = s(txtSCRX);
    f.sclt = s(txtSCLT);
    return f;
}

// A file that its reading or the computation would refuse is not written; the window
// stays open with the texts as typed.
void frmUni_6::writeDataFile(const std::string& path) {
    if ((mdimChanged_ || ltauChanged_) && !applyDimensions())
        throw VeltaError("Таблицы на Листах #2, #3, #4 не перестроены: исправьте MDIM или LTAU");
    const Sec6::Fields f = currentFields();
    Sec6::checkFields(f);
    Sec6::Table_File(host_.store(), path, f);
}

}  // namespace velta
