#include "stationary/section4/frmUni_4.h"

#include "app/prompter.h"
#include "app/shell.h"
#include "data/numtext.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace velta {

namespace {

const QString kRowX = QStringLiteral("Номера компонент вектора  X");
const QString kRowU = QStringLiteral("Номера компонент вектора  U");
constexpr int kGridTop = 84;

}  // namespace

frmUni_4::frmUni_4(FormHost& host)
    : SectionForm(host, 4, QStringLiteral("Ассорти    "), 1,
                  FormButtons{"cmdInput4", "cmdCancel4", "cmdHelp4"}) {
    // The pane under the tab strip is the one direct child frame without a name.
    for (QFrame* f : findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly))
        if (f->objectName().isEmpty()) pane_ = f;

    addLabel(1, 10, 8, QStringLiteral("Присвоение номеров компонентам вектора  U"));
    lblNdim = addLabel(1, 20, 40, QStringLiteral("Число уравнений  NDIM ="), 300);
    lblNdim->setObjectName(QStringLiteral("lblNdim"));
    grdTable = addGrid(1, 20, kGridTop, QStringLiteral("grdTable"));
    addLabel(1, 20, 190, QStringLiteral("Компоненты X с одинаковыми номерами U считаются равными;"));
    addLabel(1, 20, 208, QStringLiteral("номера U идут от 1 до NU без пропусков."));
    cmdOK_Tabl = new QPushButton(QStringLiteral("Ввод"), frame(1));
    cmdOK_Tabl->setObjectName(QStringLiteral("cmdOK_Tabl"));
    cmdOK_Tabl->setAutoDefault(false);
    cmdOK_Tabl->setGeometry(20, 244, 100, 26);
    connect(cmdOK_Tabl, &QPushButton::clicked, this, [this] { cmdOK_Tabl_Click(); });

    // The window's "Ввод" saves no data file here: it takes the table and closes.
    if (auto* b = findChild<QPushButton*>(QStringLiteral("cmdInput4"))) {
        disconnect(b, &QPushButton::clicked, this, nullptr);
        connect(b, &QPushButton::clicked, this, [this] { cmdInput4_Click(); });
    }
    setTableVisible(false);
}

Sec4* frmUni_4::sec() { return static_cast<Sec4*>(core()); }

void frmUni_4::setTableVisible(bool on) {
    tabStrip()->setVisible(on);
    if (pane_) pane_->setVisible(on);
    frame(1)->setVisible(on);
}

bool frmUni_4::tableShown() const { return !frame(1)->isHidden(); }

void frmUni_4::Tabl_Dspl() {
    const int n = host_.store().NDIM;
    GridText g = vectorGrid(Vec(n), n, true);
    g.at(0, 0) = kRowX.toStdString();
    g.at(2, 0) = kRowU.toStdString();
    grdTable->setVectorGrid(g);
    // The row titles are longer than the framework's title column.
    const int head = grdTable->fontMetrics().horizontalAdvance(kRowU) + 16;
    grdTable->setColumnWidth(0, head);
    int w = 2 * grdTable->frameWidth(), h = 2 * grdTable->frameWidth() + g.rows() * FormGrid::kRowHeight;
    for (int c = 0; c < grdTable->columnCount(); ++c) w += grdTable->columnWidth(c);
    const int maxWidth = frame(1)->width() - 40;
    if (w > maxWidth) {
        w = maxWidth;
        h += grdTable->horizontalScrollBar()->sizeHint().height();
    }
    grdTable->resize(w, h);
}

void frmUni_4::fillGrids(bool zeros) {
    (void)zeros;  // the U row always starts with "0"
    Tabl_Dspl();
}

void frmUni_4::setDimension(i16 n) { host_.store().NDIM = n; }

std::vector<std::string> frmUni_4::uRowTexts() const {
    std::vector<std::string> t;
    for (int c = 2; c <= grdTable->columnCount() - 2; ++c) t.push_back(grdTable->cell(2, c).toStdString());
    return t;
}

void frmUni_4::open() {
    lblNdim->setText(QStringLiteral("Число уравнений  NDIM = %1").arg(host_.store().NDIM));
    Tabl_Dspl();
    {
        const QSignalBlocker block(tabStrip());
        tabStrip()->setCurrentIndex(0);
    }
    setTableVisible(true);
    if (isVisible()) raise();
    show();
    activateWindow();
}

bool frmUni_4::cmdOK_Tabl_Click() {
    Sec4* s = sec();
    if (!s) return false;
    try {
        s->cmdOK_Tabl(host_.store(), Sec4::numbersFromTexts(uRowTexts()));
    } catch (const VeltaError& e) {
        host_.prompter().message(e.what(), MsgIcon::Exclamation);
        return false;
    }
    setTableVisible(false);
    return true;
}

void frmUni_4::cmdInput4_Click() {
    if (tableShown() && !cmdOK_Tabl_Click()) return;
    host_.commandsChanged();
    hide();
}

}  // namespace velta
