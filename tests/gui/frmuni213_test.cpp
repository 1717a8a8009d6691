// The input window of section 2.1.3 driven as the user drives it: open on the first tab
// strip, LDIM and the starting solution on "Ввод", the second strip, edits and the save.
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "stationary/section213/frmUni_213.h"
#include "support/form_test_host.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;
namespace fs = std::filesystem;

namespace {

using TestHost = test::FormTestHost;

class FrmUni213 : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        app.write("User/Kolco5.srgd", bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/Kolco5.srgd"));
        host.shell().Sect_Select(213);
        win = std::make_unique<frmUni_213>(host);
    }
    QLineEdit* field(const char* name) { return win->findChild<QLineEdit*>(name); }
    FormGrid* grid(const char* name) { return win->findChild<FormGrid*>(name); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    Sec213& core() { return *dynamic_cast<Sec213*>(host.shell().core(213)); }
    void openSample() {
        host.ui.openFiles.push_back(app.path("User/Kolco5.srgd"));
        win->IshDanSRG();
    }
    std::vector<int> visibleTabs() const {
        std::vector<int> v;
        for (int i = 0; i < win->tabStrip()->count(); ++i)
            if (win->tabStrip()->isTabVisible(i)) v.push_back(i + 1);
        return v;
    }
    void clickCell(FormGrid* g, int r, int c) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(r, c)).center());
    }

    test::TempApp app;
    TestHost host{mdl, app.root()};
    std::unique_ptr<frmUni_213> win;
};

}  // namespace

TEST_F(FrmUni213, OpenFillsEveryFieldOnTheFirstStrip) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter.find("*.srgd") != std::string::npos, true);
    EXPECT_EQ(win->windowTitle().toStdString(),
              "ГГС общего вида\\Стац. решения и устойчивость\\Стартовое решение\\MNN");
    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "1"},     {"txtNdim", "5"},      {"txtAlfa", "10"},  {"txtBeta", "1"},
        {"txtGama", "2"},       {"txtHHH", "0.1"},     {"txtTmax", "100"}, {"txtU10", "10"},
        {"txtU20", "0.1"},      {"txtQmin", "-0.5"},   {"txtQmax", "1.5"}, {"txtQsolv", "0"},
        {"txtHstep", "-0.05"},  {"txtExact", "1E-10"}, {"txtLimit", "10"}, {"txtLimit0", "20"},
        {"txtAccel", "1.5"},    {"txtEmin", "0.001"},  {"txtEmax", "1"},   {"txtNend", "200"},
        {"txtIC", "1,2,3,4,5"}, {"txtSclx", "-0.1"},   {"txtScrx", "1.1"}, {"txtScly", "0"},
        {"txtScry", "10"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    FormGrid* mc = grid("grdTable");
    FormGrid* st = grid("grdTable2");
    ASSERT_TRUE(mc && st);
    EXPECT_EQ(mc->rowCount(), 8);
    EXPECT_EQ(mc->cell(0, 0).toStdString(), "(i,j)");
    EXPECT_EQ(mc->cell(2, 6).toStdString(), "1");  // MC(1,5)
    EXPECT_EQ(mc->cell(3, 2).toStdString(), "1");  // MC(2,1)
    EXPECT_EQ(st->columnCount(), 9);
    EXPECT_EQ(st->cell(0, 0).toStdString(), "Номера  компонент");
    EXPECT_EQ(st->cell(2, 0).toStdString(), "Стандартные шаги");
    EXPECT_EQ(st->cell(3, 0).toStdString(), "Левые границы");
    EXPECT_EQ(st->cell(4, 0).toStdString(), "Правые границы");
    EXPECT_EQ(st->cell(2, 7).toStdString(), "0.02");
    EXPECT_EQ(st->cell(3, 2).toStdString(), "1E-06");
    EXPECT_EQ(st->cell(4, 7).toStdString(), "10");

    EXPECT_EQ(win->stage(), 1);
    EXPECT_EQ(visibleTabs(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(win->frame(1)->isVisible());
    for (int i = 2; i <= 8; ++i) EXPECT_FALSE(win->frame(i)->isVisible()) << i;
    EXPECT_FALSE(win->edited());
}

TEST_F(FrmUni213, FirstStageAsksLdimComputesTheStartAndShowsTheSecondStrip) {
    openSample();
    // An empty LDIM answer does nothing.
    QTest::mouseClick(button("cmdINput1"), Qt::LeftButton);
    EXPECT_EQ(win->stage(), 1);
    ASSERT_EQ(host.ui.inputs.size(), 1u);
    EXPECT_EQ(host.ui.inputs[0].defaultText, "1");
    EXPECT_TRUE(host.ui.messages.empty());

    // The fields as they stand go into the start: U10 edited in the window.
    field("txtU10")->setText("9");
    host.ui.answers = {"1", "1,2,2", "1,2,2,2,2"};
    QTest::mouseClick(button("cmdINput1"), Qt::LeftButton);
    EXPECT_EQ(win->stage(), 2);
    EXPECT_EQ(visibleTabs(), (std::vector<int>{3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(win->tabStrip()->currentIndex(), 2);
    EXPECT_TRUE(win->frame(3)->isVisible());
    EXPECT_FALSE(win->frame(1)->isVisible());
    EXPECT_EQ(core().U10, 9);
    ASSERT_EQ(host.ui.messages.size(), 3u);  // U1/U2, repeat request, starting solution
    EXPECT_EQ(host.ui.messages[1].text,
              "Повторите ввод номеров компонент вектора Y\n(общее число номеров должно быть = NDIM)");
    EXPECT_EQ(host.ui.messages[2].text.rfind("   Стартовое решение\n\n  NDIM =  5\n  LDIM =  1\n", 0), 0u);
    ASSERT_EQ(core().YSTART.upper(), 5);
    EXPECT_EQ(core().YSTART(1), core().U1);
    EXPECT_EQ(core().YSTART(2), core().U2);

    // The second "Ввод" saves the edited file and hands over to the main window.
    host.ui.saveFiles.push_back(app.path("User/edited"));
    QTest::mouseClick(button("cmdINput1"), Qt::LeftButton);
    EXPECT_FALSE(win->isVisible());
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
    ASSERT_TRUE(app.exists("User/edited.srgd"));
    Sec213 back;
    back.dataPath = app.path("User/edited.srgd");
    NullSurface surf;
    Ctx ctx{surf, host.ui, host.paths(), mdl};
    back.InputPar(ctx);
    EXPECT_EQ(back.U10, 9);
    EXPECT_EQ(back.QMAX, 1.5);
    EXPECT_EQ(mdl.MC(1, 5), 1);

    // The start made in the window is the one the run uses: no question is asked again.
    core().dataPath = app.path("User/edited.srgd");
    core().InputPar(ctx);
    host.ui.inputs.clear();
    host.ui.answers = {"END"};
    core().Integr1(ctx);
    ASSERT_EQ(host.ui.inputs.size(), 1u);
    EXPECT_EQ(host.ui.inputs[0].prompt, "\n\n      QMOD = QSOLV");
}

TEST_F(FrmUni213, GridEditsAndDimensionChangeReachTheFile) {
    openSample();
    // NDIM 5 -> 3 on the first strip: the grids are rebuilt with zeros at "Ввод".
    field("txtNdim")->setText("3");
    host.ui.answers = {"1", "1,2,2"};
    win->cmdINput1_Click();
    ASSERT_EQ(win->stage(), 2);
    FormGrid* mc = grid("grdTable");
    FormGrid* st = grid("grdTable2");
    EXPECT_EQ(mc->rowCount(), 6);
    EXPECT_EQ(st->columnCount(), 7);
    for (int i = 2; i <= 4; ++i)
        for (int j = 2; j <= 4; ++j) EXPECT_EQ(mc->cell(i, j).toStdString(), "0");
    // A ring of three, steps and bounds typed into the grids.
    win->switchSheet(2);
    for (auto [r, c] : {std::pair{2, 4}, std::pair{3, 2}, std::pair{4, 3}}) {
        clickCell(mc, r, c);
        QTest::keyClicks(mc, "1");
    }
    win->switchSheet(4);
    for (int c = 2; c <= 5; ++c) {
        clickCell(st, 2, c);
        QTest::keyClicks(st, "0.1");
        clickCell(st, 3, c);
        QTest::keyClicks(st, "0");
        clickCell(st, 4, c);
        QTest::keyClicks(st, "100");
    }
    field("txtIC")->setText("1,2,3");
    host.ui.saveFiles.push_back(app.path("User/ring3.srgd"));
    win->cmdINput1_Click();
    Sec213 back;
    back.dataPath = app.path("User/ring3.srgd");
    NullSurface surf;
    Ctx ctx{surf, host.ui, host.paths(), mdl};
    back.InputPar(ctx);
    EXPECT_EQ(mdl.NDIM, 3);
    EXPECT_EQ(mdl.MC(1, 3), 1);
    EXPECT_EQ(mdl.MC(2, 1), 1);
    EXPECT_EQ(mdl.MC(3, 2), 1);
    EXPECT_EQ(mdl.MC(1, 2), 0);
    EXPECT_EQ(back.H(4), 0.1);
    EXPECT_EQ(back.UR(2), 100);
    EXPECT_EQ(mdl.NCOMP, 3);
}

TEST_F(FrmUni213, ReminderAndBadNumbersOnTheFirstStrip) {
    openSample();
    QTest::mouseClick(field("txtNdim"), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text,
              "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #2 и #3");
    field("txtAlfa")->setText("1,5");
    host.ui.answers = {"1"};
    win->cmdINput1_Click();
    EXPECT_EQ(win->stage(), 1);
    EXPECT_EQ(host.ui.messages.size(), 2u);  // the conversion message, nothing computed
    EXPECT_EQ(host.ui.inputs.size(), 1u);
}

TEST_F(FrmUni213, SheetsDoNotClip) {
    openSample();
    host.ui.answers = {"1", "1,2,2,2,2"};
    win->cmdINput1_Click();
    for (int sheet = 1; sheet <= 8; ++sheet) {
        const QRect inside(QPoint(0, 0), win->frame(sheet)->size());
        for (const QWidget* w : win->frame(sheet)->findChildren<QWidget*>()) {
            if (w->parentWidget() != win->frame(sheet)) continue;
            EXPECT_TRUE(inside.contains(w->geometry()))
                << "sheet " << sheet << " " << w->objectName().toStdString();
            if (const auto* l = qobject_cast<const QLabel*>(w); l && !l->text().isEmpty()) {
                EXPECT_GE(l->width() + 1, l->sizeHint().width()) << l->text().toStdString();
            }
        }
    }
    if (const char* dir = std::getenv("VELTA_SHOTS")) {
        for (int sheet = 1; sheet <= 8; ++sheet) {
            win->setStage(sheet <= 2 ? 1 : 2);
            win->switchSheet(sheet - 1);
            win->grab().save(
                QString::fromStdString(std::string(dir) + "/frm213_" + std::to_string(sheet) + ".png"));
        }
    }
}
