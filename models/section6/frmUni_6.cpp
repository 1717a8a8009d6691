#include "models/section6/frmUni_6.h"

#include "app/prompter.h"
#include "data/forms/qtext.h"
#include "data/numtext.h"

#include <QEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace velta {

namespace {

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
    : SheetForm(host, 6, QStringLiteral("Система уравнений с запаздываниями"), 6) {
    using F = Sec6::Fields;
    // ---- sheet 1: class and dimensions
    const int lw1 = 300;
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели, класс 1-4"));
    const int y1 = addKeyRows(1, 20, 36, lw1, Sec6::keys(1), 1, fields_);
    addKeyRows(1, 20, y1 + kRow, lw1, Sec6::keys(2), 2, fields_);
    txtMDIM = fieldOf(fields_, &F::mdim);
    txtLTAU = fieldOf(fields_, &F::ltau);
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

    // ---- sheet 5: integration, initial data, plotted components (the lists by hand)
    const int lw5 = 120, lwList = 230;
    int y = 8;
    addLabel(5, 10, y, QStringLiteral("5) Параметры численного метода интегрирования"));
    addLabel(5, 10, y += kLine, QStringLiteral("    системы уравнений с запаздываниями"));
    addLabel(5, 10, y += kLine, QStringLiteral("    с постоянным шагом  H = TAU(LTAU) / NDEL"));
    addLabel(5, 10, y += kLine, QStringLiteral("    на отрезке  [0,TMAX]"));
    y = addKeyRows(5, 20, y + 26, lw5, Sec6::keys(4), 4, fields_);
    addLabel(5, 10, y += 40, QStringLiteral("6) Постоянные на сетке начальные данные:  Z(i,j) = 0,"));
    addLabel(5, 10, y += kLine, QStringLiteral("    i = 1,...,MDIM,  j = 1,...,NDEL+1"));
    fields_.push_back({addField(5, 20, y += 26, lwList, QStringLiteral("Номера компонент,  i1,...:"),
                                QStringLiteral("txtI1N"), 300),
                       &F::i1n});
    fields_.push_back({addField(5, 20, y += kRow, lwList, QStringLiteral("Значения компонент,  Zi1,...:"),
                                QStringLiteral("txtZI1"), 300),
                       &F::zi1});
    addLabel(5, 10, y += 40, QStringLiteral("7) Номера компонент, выводимых на график"));
    addLabel(5, 10, y += kLine, QStringLiteral("    (число компонент <= min(12,MDIM))"));
    fields_.push_back({addField(5, 20, y += 26, 0, QString(), QStringLiteral("txtI1G"), 300), &F::i1g});

    // ---- sheet 6: table density and plot bounds
    const int lw6 = 120;
    addLabel(6, 10, 8, QStringLiteral("8) Плотность выдачи результатов в таблицу"));
    y = addKeyRows(6, 20, 36, lw6, Sec6::keys(7), 7, fields_);
    addLabel(6, 10, y += kRow + 30, QStringLiteral("9) Границы интервалов для графиков"));
    const int yBounds = y + 28;
    addKeyRows(6, 20, yBounds, lw6, Sec6::keys(8), 8, fields_);
    addBoundLines(6, 300, yBounds + 14,
                  {{QStringLiteral("(SCLX <= Z(i) <= SCRX,"), QStringLiteral(" SCLT <=  t   <= TMAX)")}, {}});

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
    return SheetForm::eventFilter(watched, e);
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

void frmUni_6::fillFields() { showTexts(fields_, Sec6::fieldsFromStore(host_.store())); }

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
    readTexts(fields_, f);
    f.agt = grdTable1->text();
    f.tau = grdTable2->text();
    f.beta = grdTable3->text();
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
