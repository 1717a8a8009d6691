// The input window of section 6 driven as the user drives it: a shipped sample opened
// from its task folder, the six sheets and three grids, the two sizing fields (MDIM and
// LTAU) with their reminders and grid rebuilds, refused texts, "Ввод" and reading back.
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "models/section6/frmUni_6.h"
#include "support/form_test_host.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;
namespace fs = std::filesystem;

namespace {

using Host6 = test::FormTestHost;

class FrmUni6 : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        fs::create_directories(app.path("User/Suz/Tau0"));
        fs::copy_file(fs::path(VELTA_SOURCE_DIR) / "User/Suz/Tau0/Ring3_Oscill.suzd",
                      fs::path(app.path("User/Suz/Tau0/ring.suzd")));
        host.shell().Sect_Select(6);
        host.shell().Combo1_Click("Tau0");
        win = std::make_unique<frmUni_6>(host);
    }
    QLineEdit* field(const char* name) { return win->findChild<QLineEdit*>(name); }
    FormGrid* grid(const char* name) { return win->findChild<FormGrid*>(name); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    SectionCore& core() { return *host.shell().core(6); }
    void openSample() {
        host.ui.openFiles.push_back(app.path("User/Suz/Tau0/ring.suzd"));
        win->IshDanSuz();
    }
    void clickCell(FormGrid* g, int r, int c) {
        g->scrollToItem(g->item(r, c));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(r, c)).center());
    }
    void readBack(const std::string& path) {
        core().dataPath = path;
        NullSurface surf;
        Ctx ctx{surf, host.ui, host.paths(), mdl};
        core().InputPar(ctx);
    }
    // Every value cell of a grid, row by row.
    static std::vector<std::string> values(FormGrid* g) {
        std::vector<std::string> v;
        for (int r = 0; r < g->rowCount(); ++r)
            for (int c = 0; c < g->columnCount(); ++c)
                if (g->isValueCell(r, c)) v.push_back(g->cell(r, c).toStdString());
        return v;
    }

    test::TempApp app;
    Host6 host{mdl, app.root()};
    std::unique_ptr<frmUni_6> win;
};

}  // namespace

TEST_F(FrmUni6, OpenFillsEveryFieldAndTheThreeGrids) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.suzd)|*.suzd|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.path("User/Suz/Tau0")));
    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "1"}, {"txtMDIM", "3"}, {"txtLTAU", "2"},  {"txtTmax", "60"},
        {"txtNDEL", "200"}, {"txtI1N", "1"},  {"txtZI1", "0.1"}, {"txtI1G", "1,2,3"},
        {"txtNsc", "10"},   {"txtSCLX", "0"}, {"txtSCRX", "10"}, {"txtSCLT", "0"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    FormGrid* a = grid("grdTable1");
    ASSERT_EQ(a->rowCount(), 6);
    ASSERT_EQ(a->columnCount(), 6);
    EXPECT_EQ(a->cell(0, 0).toStdString(), "\\j");
    EXPECT_EQ(a->cell(4, 0).toStdString(), "TETA");
    EXPECT_EQ(values(a), (std::vector<std::string>{"10", "10", "10", "2", "2", "2", "1", "1", "1"}));
    FormGrid* t = grid("grdTable2");
    ASSERT_EQ(t->columnCount(), 5);
    EXPECT_EQ(t->cell(2, 0).toStdString(), "TAU");
    EXPECT_EQ(values(t), (std::vector<std::string>{"1", "2"}));
    FormGrid* b = grid("grdTable3");
    ASSERT_EQ(b->rowCount(), 5);
    ASSERT_EQ(b->columnCount(), 12);
    EXPECT_EQ(b->cell(0, 0).toStdString(), "i\\j (k)");
    EXPECT_EQ(b->cell(0, 10).toStdString(), "3 (3)");
    EXPECT_EQ(values(b), (std::vector<std::string>{"0", "0", "0", "1", "0", "0", "0", "1", "0", "0", "0", "1",
                                                   "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(win->frame(2)->findChild<FormGrid*>("grdTable1"), a);
    EXPECT_EQ(win->frame(3)->findChild<FormGrid*>("grdTable2"), t);
    EXPECT_EQ(win->frame(4)->findChild<FormGrid*>("grdTable3"), b);
    EXPECT_EQ(win->windowTitle().toStdString(), "Система уравнений с запаздываниями");
    EXPECT_EQ(win->sheetCount(), 6);
    EXPECT_FALSE(win->edited());
    EXPECT_FALSE(win->mdimChanged());
    EXPECT_FALSE(win->ltauChanged());
    EXPECT_EQ(core().shownName, "ring.suzd");
    EXPECT_EQ(mdl.L, 0);
}

TEST_F(FrmUni6, SheetsCarryTheirLabelsWithoutOverlaps) {
    openSample();
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели, класс 1-4",
         "Номер класса,  MCLASS =", "Число уравнений,  MDIM =", "Число запаздываний,  LTAU ="},
        {"Значения параметров ALFA(j), GAMA(j), TETA(j), j = 1,...,MDIM"},
        {"2) Значения запаздываний TAU(i), i = 1,...,LTAU (в порядке возрастания)"},
        {"4) Матрица формирования регуляторных связей  BETA(i,j,k)",
         "    (i = 1,...,LTAU,  j,k = 1,...,MDIM)"},
        {"5) Параметры численного метода интегрирования", "    системы уравнений с запаздываниями",
         "    с постоянным шагом  H = TAU(LTAU) / NDEL", "    на отрезке  [0,TMAX]", "TMAX =", "NDEL =",
         "6) Постоянные на сетке начальные данные:  Z(i,j) = 0,", "    i = 1,...,MDIM,  j = 1,...,NDEL+1",
         "Номера компонент,  i1,...:", "Значения компонент,  Zi1,...:",
         "7) Номера компонент, выводимых на график", "    (число компонент <= min(12,MDIM))"},
        {"8) Плотность выдачи результатов в таблицу", "NSC =", "9) Границы интервалов для графиков",
         "SCLX =", "SCRX =", "SCLT =", "(SCLX <= Z(i) <= SCRX,", " SCLT <=  t   <= TMAX)"}};
    for (int sheet = 1; sheet <= 6; ++sheet) {
        win->tabStrip()->setCurrentIndex(sheet - 1);
        QFrame* f = win->frame(sheet);
        ASSERT_TRUE(f->isVisible());
        const QRect inside(QPoint(0, 0), f->size());
        std::vector<std::string> got, want;
        std::vector<QRect> boxes;
        for (QWidget* w : f->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QRect box = w->geometry();
            if (auto* l = qobject_cast<QLabel*>(w)) {
                if (l->text().isEmpty()) continue;
                got.push_back(l->text().toStdString());
                EXPECT_GE(l->width(), l->sizeHint().width()) << got.back();
                const int tw = l->fontMetrics().horizontalAdvance(l->text());
                const int th = l->fontMetrics().height();
                const int x = (l->alignment() & Qt::AlignRight) ? l->geometry().right() - tw + 1 : l->x();
                box = QRect(x, l->y() + (l->height() - th) / 2, tw, th);
            }
            EXPECT_TRUE(inside.contains(w->geometry()))
                << "sheet " << sheet << " " << w->objectName().toStdString();
            for (const QRect& o : boxes) EXPECT_FALSE(box.intersects(o)) << "sheet " << sheet;
            boxes.push_back(box);
        }
        for (const char* s : labels[static_cast<std::size_t>(sheet - 1)]) want.push_back(s);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "sheet " << sheet;
        if (const char* dir = std::getenv("VELTA_SHOTS")) {
            QApplication::processEvents();
            win->grab().save(
                QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("frm6_%1.png").arg(sheet)));
        }
    }
}

TEST_F(FrmUni6, EachSizingFieldShowsItsOwnReminder) {
    openSample();
    QTest::mouseClick(field("txtMDIM"), Qt::LeftButton);
    QApplication::processEvents();
    QTest::mouseClick(field("txtLTAU"), Qt::LeftButton);
    QApplication::processEvents();
    QTest::mouseClick(field("txtNDEL"), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(host.ui.messages.size(), 2u);
    EXPECT_EQ(host.ui.messages[0].text,
              "После изменения  MDIM  не забудьте\nскорректировать таблицу на Листах #2, #4");
    EXPECT_EQ(host.ui.messages[1].text,
              "После изменения  LTAU  не забудьте\nскорректировать таблицу на Листах #3, #4");
    EXPECT_FALSE(win->edited()) << "a click changes nothing";
}

TEST_F(FrmUni6, MdimChangeRebuildsParameterAndBetaGridsOnly) {
    openSample();
    field("txtMDIM")->setText("2");
    EXPECT_TRUE(win->mdimChanged());
    EXPECT_EQ(grid("grdTable1")->columnCount(), 6) << "nothing is rebuilt before the sheet switch";
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->mdimChanged());
    EXPECT_EQ(mdl.MDIM, 2);
    EXPECT_EQ(grid("grdTable1")->columnCount(), 5);
    EXPECT_EQ(values(grid("grdTable1")), std::vector<std::string>(6, "0"));
    EXPECT_EQ(grid("grdTable3")->columnCount(), 7);
    EXPECT_EQ(grid("grdTable3")->cell(0, 5).toStdString(), "2 (2)");
    EXPECT_EQ(values(grid("grdTable3")), std::vector<std::string>(8, "0"));
    EXPECT_EQ(values(grid("grdTable2")), (std::vector<std::string>{"1", "2"})) << "the delays stay";
    EXPECT_TRUE(win->frame(2)->isVisible());
}

TEST_F(FrmUni6, LtauChangeRebuildsDelayAndBetaGridsOnly) {
    openSample();
    field("txtLTAU")->setText("4");
    win->tabStrip()->setCurrentIndex(3);
    EXPECT_FALSE(win->ltauChanged());
    EXPECT_EQ(mdl.LTAU, 4);
    EXPECT_EQ(values(grid("grdTable2")), std::vector<std::string>(4, "0"));
    EXPECT_EQ(grid("grdTable3")->rowCount(), 7);
    EXPECT_EQ(grid("grdTable3")->cell(5, 0).toStdString(), "4");
    EXPECT_EQ(values(grid("grdTable3")), std::vector<std::string>(36, "0"));
    EXPECT_EQ(values(grid("grdTable1")),
              (std::vector<std::string>{"10", "10", "10", "2", "2", "2", "1", "1", "1"}))
        << "the parameters stay";
    // The largest BETA grid (20 delays, 5 equations) scrolls inside its sheet.
    field("txtLTAU")->setText("20");
    field("txtMDIM")->setText("5");
    win->tabStrip()->setCurrentIndex(0);
    win->tabStrip()->setCurrentIndex(3);
    FormGrid* b = grid("grdTable3");
    EXPECT_EQ(b->rowCount(), 23);
    EXPECT_EQ(b->columnCount(), 28);
    EXPECT_LE(b->geometry().right(), win->frame(4)->width());
    EXPECT_LE(b->geometry().bottom(), win->frame(4)->height());
}

TEST_F(FrmUni6, InvalidDimensionIsRefusedAndNothingIsRebuilt) {
    openSample();
    field("txtMDIM")->setText("7");
    win->tabStrip()->setCurrentIndex(1);
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_NE(host.ui.messages[0].text.find("Недопустимое значение  MDIM = 7"), std::string::npos);
    EXPECT_TRUE(win->mdimChanged());
    EXPECT_EQ(mdl.MDIM, 3);
    EXPECT_EQ(grid("grdTable1")->columnCount(), 6);
    // "Ввод" refuses it too, before any file name is asked.
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.messages.size(), 2u);
    EXPECT_EQ(host.ui.dialogs.size(), 1u) << "no save dialog";
    EXPECT_TRUE(win->isVisible());
    field("txtLTAU")->setText("x");
    field("txtMDIM")->setText("3");
    win->tabStrip()->setCurrentIndex(2);
    EXPECT_NE(host.ui.messages.back().text.find("Недопустимое значение  LTAU = x"), std::string::npos);
    EXPECT_EQ(mdl.LTAU, 2) << "neither dimension changes";
}

TEST_F(FrmUni6, EditedBetaAndParametersAreSavedAndReadBack) {
    openSample();
    win->tabStrip()->setCurrentIndex(3);
    FormGrid* b = grid("grdTable3");
    clickCell(b, 3, 2);  // BETA(2,1,1)
    QTest::keyClicks(b, "0.5");
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* a = grid("grdTable1");
    clickCell(a, 4, 3);  // TETA(2)
    QTest::keyClicks(a, "0.75");
    field("txtMclass")->setText("3");
    host.ui.saveFiles.push_back(app.path("User/Suz/Tau0/edited.suzd"));
    button("cmdINput1")->click();
    ASSERT_TRUE(app.exists("User/Suz/Tau0/edited.suzd"));
    EXPECT_EQ(host.shell().status2, "edited.suzd");
    EXPECT_FALSE(win->isVisible());

    mdl.reset();
    readBack(app.path("User/Suz/Tau0/edited.suzd"));
    EXPECT_EQ(mdl.MCLASS, 3);
    EXPECT_EQ(Sec6::BETA(mdl, 2, 1, 1), 0.5);
    EXPECT_EQ(Sec6::BETA(mdl, 2, 3, 1), 1.0);
    EXPECT_EQ(Sec6::BETA(mdl, 1, 1, 2), 1.0);
    EXPECT_EQ(mdl.TETAm(2), 0.75);
    EXPECT_EQ(mdl.NDEL, 200);
    EXPECT_EQ(mdl.SCRX, 10.0);
}

TEST_F(FrmUni6, ChangedDimensionsSavedWithoutSwitchWriteAConsistentFile) {
    openSample();
    field("txtMDIM")->setText("1");
    field("txtLTAU")->setText("1");
    field("txtI1G")->setText("1");
    host.ui.saveFiles.push_back(app.path("User/Suz/Tau0/one.suzd"));
    button("cmdINput1")->click();
    // The grids were rebuilt with "0": TETA(1) = 0 and TAU(1) = 0 are refused.
    ASSERT_FALSE(host.ui.messages.empty());
    EXPECT_NE(host.ui.messages.back().text.find("TETA(1)"), std::string::npos);
    EXPECT_FALSE(app.exists("User/Suz/Tau0/one.suzd"));
    EXPECT_EQ(grid("grdTable1")->columnCount(), 4);
    EXPECT_EQ(grid("grdTable3")->rowCount(), 4);
    // Filled in, the file is written and reads back at the new sizes.
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* a = grid("grdTable1");
    for (int r = 2; r <= 4; ++r) {
        clickCell(a, r, 2);
        QTest::keyClicks(a, r == 2 ? "5" : "1");
    }
    win->tabStrip()->setCurrentIndex(2);
    clickCell(grid("grdTable2"), 2, 2);
    QTest::keyClicks(grid("grdTable2"), "2");
    win->tabStrip()->setCurrentIndex(3);
    clickCell(grid("grdTable3"), 2, 2);
    QTest::keyClicks(grid("grdTable3"), "1");
    host.ui.saveFiles.push_back(app.path("User/Suz/Tau0/one.suzd"));
    button("cmdINput1")->click();
    ASSERT_TRUE(app.exists("User/Suz/Tau0/one.suzd")) << host.ui.messages.back().text;
    mdl.reset();
    readBack(app.path("User/Suz/Tau0/one.suzd"));
    EXPECT_EQ(mdl.MDIM, 1);
    EXPECT_EQ(mdl.LTAU, 1);
    EXPECT_EQ(mdl.ALFAm(1), 5.0);
    EXPECT_EQ(mdl.TAU(1), 2.0);
    EXPECT_EQ(Sec6::BETA(mdl, 1, 1, 1), 1.0);
    EXPECT_EQ(mdl.NCOMP, 1);
    EXPECT_EQ(mdl.NSC, 10);
    const std::string text = cp1251ToUtf8(bytesOf(app.path("User/Suz/Tau0/one.suzd")));
    EXPECT_NE(text.find("TAUm(I):\r\n2\r\n"), std::string::npos);
}

TEST_F(FrmUni6, AcceptWithoutEditsKeepsTheFileAndCancelEmptiesTheStatus) {
    openSample();
    const std::string before = bytesOf(app.path("User/Suz/Tau0/ring.suzd"));
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(bytesOf(app.path("User/Suz/Tau0/ring.suzd")), before);
    EXPECT_EQ(host.shell().status2, "ring.suzd");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
    openSample();
    button("cmdCancel1")->click();
    EXPECT_EQ(host.shell().status2, "");
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
    EXPECT_NE(makeSectionWindow(6, host), nullptr);
}
