// The input window of section 8 driven as the user drives it: a shipped sample opened,
// the Poincaré grids edited, NDIM changed, sheets switched, "Ввод" and the file read back.
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "models/section8/frmUni_8.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

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
namespace fs = std::filesystem;

namespace {

class TestHost : public FormHost {
public:
    explicit TestHost(const std::string& root) : paths_(root), shell_(paths_) {}
    Shell& shell() override { return shell_; }
    const AppPaths& paths() override { return paths_; }
    Prompter& prompter() override { return ui; }
    void commandsChanged() override { ++changes; }
    void showHelp(int topic) override { helps.push_back(topic); }
    QWidget* mainWidget() override { return nullptr; }

    test::ScriptedPrompter ui;
    int changes = 0;
    std::vector<int> helps;

private:
    AppPaths paths_;
    Shell shell_;
};

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

fs::path shipped(const std::string& name) { return fs::path(VELTA_SOURCE_DIR) / "User" / name; }

// Every label readable (not clipped) and every control inside its frame, none overlapping
// another; with VELTA_SHOTS set, a picture of each sheet is saved there.
void checkSheets(SectionForm& win, const std::string& shotName) {
    for (int sheet = 1; sheet <= win.sheetCount(); ++sheet) {
        win.tabStrip()->setCurrentIndex(sheet - 1);
        QFrame* f = win.frame(sheet);
        ASSERT_TRUE(f->isVisible()) << sheet;
        const QRect inside(QPoint(0, 0), f->size());
        std::vector<QWidget*> controls;
        for (QWidget* w : f->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (auto* l = qobject_cast<QLabel*>(w)) {
                if (l->text().isEmpty()) continue;
                EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            }
            EXPECT_TRUE(inside.contains(w->geometry()))
                << "sheet " << sheet << ": " << w->objectName().toStdString();
            controls.push_back(w);
        }
        for (std::size_t i = 0; i < controls.size(); ++i)
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                // A label takes the room of its text: right-aligned field labels are wider.
                auto box = [](QWidget* w) {
                    auto* l = qobject_cast<QLabel*>(w);
                    if (!l) return w->geometry();
                    const int tw = l->fontMetrics().horizontalAdvance(l->text());
                    const int th = l->fontMetrics().height();
                    const int x = (l->alignment() & Qt::AlignRight) ? l->geometry().right() - tw + 1 : l->x();
                    return QRect(x, l->y() + (l->height() - th) / 2, tw, th);
                };
                const QRect a = box(controls[i]), b = box(controls[j]);
                EXPECT_FALSE(a.intersects(b))
                    << "sheet " << sheet << ": '"
                    << (qobject_cast<QLabel*>(controls[i]) ? qobject_cast<QLabel*>(controls[i])->text()
                                                           : controls[i]->objectName()).toStdString()
                    << "' and '"
                    << (qobject_cast<QLabel*>(controls[j]) ? qobject_cast<QLabel*>(controls[j])->text()
                                                           : controls[j]->objectName()).toStdString()
                    << "'";
            }
        if (const char* dir = std::getenv("VELTA_SHOTS")) {
            QApplication::processEvents();
            win.grab().save(QDir(QString::fromLocal8Bit(dir))
                                .filePath(QString::fromStdString(shotName) + QStringLiteral("_%1.png").arg(sheet)));
        }
    }
}

class FrmUni8 : public ::testing::Test {
protected:
    void SetUp() override {
        mdlGlobal.reset();
        fs::copy_file(shipped("Logist.gsed"), fs::path(app.user()) / "Logist.gsed");
        host.shell().Sect_Select(8);
        win = std::make_unique<frmUni_8>(host);
    }

    QLineEdit* field(const char* name) { return win->findChild<QLineEdit*>(name); }
    FormGrid* grid(const char* name) { return win->findChild<FormGrid*>(name); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    SectionCore& core() { return *host.shell().core(8); }

    void openSample(const std::string& rel = "User/Logist.gsed") {
        host.ui.openFiles.push_back(app.path(rel));
        win->IshDanEco();
    }
    void clickCell(FormGrid* g, int r, int c) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(r, c)).center());
    }
    void readBack(const std::string& path) {
        core().dataPath = path;
        NullSurface surf;
        Ctx ctx{surf, host.ui, host.paths()};
        core().InputPar(ctx);
    }
    void save(const std::string& rel) {
        host.ui.saveFiles.push_back(app.path(rel));
        button("cmdINput1")->click();
    }

    test::TempApp app;
    TestHost host{app.root()};
    std::unique_ptr<frmUni_8> win;
};

TEST_F(FrmUni8, OpenFillsEveryFieldAndGridFromTheShippedSample) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.gsed)|*.gsed|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.user()));
    ASSERT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(), "ГС экологической природы");
    EXPECT_EQ(win->sheetCount(), 4);
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(core().shownName, "Logist.gsed");

    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "1"}, {"txtNdim", "4"}, {"txtKmod", "1"}, {"txtAlfa", "2"}, {"txtBeta", "1"},
        {"txtGama", "2"}, {"txtI1N", "1,2,3,4"}, {"txtXI1", "0.001,0.01,0.1,3.5"},
        {"txtTmax", "8"}, {"txtHHH", "0.01"}, {"txtLscreen", "0"}, {"txtTmin", "0"},
        {"txtLgraph", "1"}, {"txtLstep", "0"}, {"txtI1G", "1,2,3,4"}, {"txtNsc", "20"},
        {"txtDlx", "0"}, {"txtDrx", "2"}, {"txtDlw", "0"}, {"txtDrw", "1"}, {"txtSclt", "0"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    for (const char* name : {"grdTable1", "grdTable2"}) {
        ASSERT_NE(grid(name), nullptr) << name;
        EXPECT_EQ(grid(name)->parentWidget(), win->frame(2)) << name;
        ASSERT_EQ(grid(name)->rowCount(), 4) << name;
        ASSERT_EQ(grid(name)->columnCount(), 7) << name;
        EXPECT_EQ(grid(name)->cell(0, 0).toStdString(), " Номера  компонент");
        EXPECT_EQ(grid(name)->cell(2, 0).toStdString(), "Значения компонент");
        EXPECT_EQ(grid(name)->cell(0, 5).toStdString(), "4");
    }
    EXPECT_EQ(grid("grdTable1")->text().joinRow(2, 2, 5), "1,1,1,1");
    EXPECT_EQ(grid("grdTable2")->text().joinRow(2, 2, 5), "1,0,0,0");
}

TEST_F(FrmUni8, SheetsCarryTheirLabelsAndFields) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели  E(NDIM,KMOD) классов 1-4", "Номер класса,  MCLASS =",
         "Число элементов ГГС (размерность системы),  NDIM =",
         "Число элементов, объединенных регуляторными связями,  KMOD =", " ALFA =", " BETA =",
         " GAMA =", "2) Начальные данные:  X(i) = 0, i = 1,...,NDIM",
         "Номера ненулевых компонент,  i1,...:", "Значения ненулевых компонент,  X(i1),...:"},
        {"3) Задание плоскости Пуанкаре: (N, X-Xo) = 0", "Компоненты вектора  Xo",
         "Компоненты вектора нормали  N"},
        {"4) Параметры интегрирования", "Интервал интегрирования:  0 <= t <= TMAX,  TMAX =",
         "Шаг интегрирования,  HHH =", "5) Определение периода:", "LSCREEN =", "TMIN =",
         "LSCREEN = 1 - да,", "LSCREEN = 0 - нет", "(поиск min W(t), TMIN <= t <= TMAX)",
         "6) Графическое представление результатов:", "LGRAPH =",
         "LGRAPH = 1 - в физической плоскости,", "LGRAPH = 2 - в фазовой плоскости,",
         "LGRAPH = 3 - в плоскости Пуанкаре ", "(LSCREEN = 0 при LGRAPH = 2,3).",
         "7) Порции выдачи результатов на график:", "LSTEP =",
         "LSTEP = 0 - непрерывная выдача на отрезке [0,TMAX],",
         "LSTEP > 0 - порция шагов интегрирования c непрерывной",
         "выдачей - до изменения TMAX. В дальнейшем LSTEP = 0."},
        {"8) Номера компонент, выводимых на график", "(NCOMP <= 12", "NCOMP <= NDIM при LGRAPH = 1",
         "NCOMP  = 2    при LGRAPH = 2,3)", "9) Плотность выдачи результатов в таблицу", "NSC =",
         "10) Границы интервалов для графиков (в долях ALFA):", "DLX =", "DRX =", "DLW =", "DRW =",
         "SCLT =", "ALFA * DLX <= X(i) <= ALFA * DRX", "ALFA * DLW <=  W   <= ALFA * DRW",
         "SCLT <=  t   <= TMAX"}};
    const std::vector<std::vector<const char*>> fields = {
        {"txtMclass", "txtNdim", "txtKmod", "txtAlfa", "txtBeta", "txtGama", "txtI1N", "txtXI1"},
        {},
        {"txtTmax", "txtHHH", "txtLscreen", "txtTmin", "txtLgraph", "txtLstep"},
        {"txtI1G", "txtNsc", "txtDlx", "txtDrx", "txtDlw", "txtDrw", "txtSclt"}};
    for (int sheet = 1; sheet <= 4; ++sheet) {
        std::vector<std::string> got, want;
        for (const QLabel* l : win->frame(sheet)->findChildren<QLabel*>())
            if (!l->text().isEmpty()) got.push_back(l->text().toStdString());
        for (const char* t : labels[static_cast<std::size_t>(sheet - 1)]) want.push_back(t);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "sheet " << sheet;
        for (const char* name : fields[static_cast<std::size_t>(sheet - 1)])
            EXPECT_NE(win->frame(sheet)->findChild<QLineEdit*>(name), nullptr) << name;
    }
    openSample();
    checkSheets(*win, "frmUni_8");
}

// A grid cell edited by click and keys: the saved file is the sample with that one line
// changed, and reads back to the same values with the edit; "Ввод" without edits saves
// nothing.
TEST_F(FrmUni8, EditedGridCellIsSavedAndReadsBack) {
    openSample();
    const std::string before = slurp(app.path("User/Logist.gsed"));
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.shell().status2, "Logist.gsed");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));

    openSample();
    const Sec8::Fields original = win->currentFields();
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* n = grid("grdTable2");
    clickCell(n, 2, 3);  // N(2) = 0
    EXPECT_TRUE(win->edited());
    QTest::keyClicks(n, "-0.5");
    EXPECT_EQ(n->cell(2, 3).toStdString(), "-0.5");
    save("User/edited");
    ASSERT_TRUE(app.exists("User/edited.gsed"));
    EXPECT_EQ(host.shell().status2, "edited.gsed");
    EXPECT_EQ(core().dataPath, app.path("User/edited.gsed"));

    std::string want = before;
    const std::size_t at = want.find("FP(I):\r\n1,0,0,0\r\n");
    ASSERT_NE(at, std::string::npos);
    want.replace(at, 17, "FP(I):\r\n1,-0.5,0,0\r\n");
    EXPECT_EQ(slurp(app.path("User/edited.gsed")), want);

    mdlGlobal.reset();
    readBack(app.path("User/edited.gsed"));
    EXPECT_DOUBLE_EQ(mdlGlobal.FP(2), -0.5);
    const Sec8::Fields back = Sec8::fieldsFromStore();
    EXPECT_EQ(back.fp.joinRow(2, 2, 5), "1,-0.5,0,0");
    EXPECT_EQ(back.xp.joinRow(2, 2, 5), original.xp.joinRow(2, 2, 5));
    EXPECT_EQ(back.kmod, original.kmod);
    EXPECT_EQ(back.xi1, original.xi1);
    EXPECT_EQ(back.i1g, original.i1g);
    EXPECT_EQ(back.tmax, original.tmax);
    EXPECT_EQ(back.drx, original.drx);
}

TEST_F(FrmUni8, NdimChangeRebuildsBothGridsWithZerosOnSheetSwitch) {
    openSample();
    win->tabStrip()->setCurrentIndex(1);
    clickCell(grid("grdTable1"), 2, 2);
    QTest::keyClicks(grid("grdTable1"), "9");
    win->tabStrip()->setCurrentIndex(0);
    field("txtNdim")->setText("6");
    EXPECT_TRUE(win->dimensionChanged());
    EXPECT_EQ(grid("grdTable1")->columnCount(), 7);
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdlGlobal.NDIM, 6);
    for (const char* name : {"grdTable1", "grdTable2"}) {
        FormGrid* g = grid(name);
        ASSERT_EQ(g->columnCount(), 9) << name;
        EXPECT_EQ(g->text().joinRow(2, 2, 7), "0,0,0,0,0,0") << name;
        EXPECT_EQ(g->cell(0, 7).toStdString(), "6");
        EXPECT_EQ(g->item(2, 8)->background().color(), QColor(224, 224, 224));
    }
    clickCell(grid("grdTable2"), 2, 7);
    QTest::keyClicks(grid("grdTable2"), "1");
    save("User/six.gsed");
    mdlGlobal.reset();
    readBack(app.path("User/six.gsed"));
    EXPECT_EQ(mdlGlobal.NDIM, 6);
    EXPECT_EQ(mdlGlobal.FP.upper(), 6);
    EXPECT_DOUBLE_EQ(mdlGlobal.FP(6), 1);
    EXPECT_DOUBLE_EQ(mdlGlobal.XP(1), 0);
    EXPECT_EQ(mdlGlobal.NK, 4);
    EXPECT_DOUBLE_EQ(mdlGlobal.X1(4), 3.5);
    EXPECT_DOUBLE_EQ(mdlGlobal.TMAX, 8);
    EXPECT_EQ(mdlGlobal.NSC, 20);
}

// Shrinking NDIM below the listed components: the save is refused with a message until
// the lists fit, and no file is written in between.
TEST_F(FrmUni8, ListsBeyondNdimAreRefusedUntilCorrected) {
    openSample();
    field("txtNdim")->setText("2");
    save("User/two.gsed");
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Номер ненулевой компоненты 3 вне диапазона 1..NDIM (NDIM = 2)");
    EXPECT_FALSE(app.exists("User/two.gsed"));
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(grid("grdTable1")->columnCount(), 5);  // the grids followed NDIM
    field("txtI1N")->setText("1,2");
    field("txtXI1")->setText("0.001,0.01");
    save("User/two.gsed");
    ASSERT_EQ(host.ui.messages.size(), 2u);
    EXPECT_EQ(host.ui.messages[1].text, "Номер компоненты графика 3 вне диапазона 1..NDIM (NDIM = 2)");
    field("txtI1G")->setText("2,1");
    save("User/two.gsed");
    EXPECT_EQ(host.ui.messages.size(), 2u);
    ASSERT_TRUE(app.exists("User/two.gsed"));
    EXPECT_FALSE(win->isVisible());
    mdlGlobal.reset();
    readBack(app.path("User/two.gsed"));
    EXPECT_EQ(mdlGlobal.NDIM, 2);
    EXPECT_EQ(mdlGlobal.NCOMP, 2);
    EXPECT_EQ(mdlGlobal.IC(1), 2);
    EXPECT_DOUBLE_EQ(mdlGlobal.X1(2), 0.01);
    EXPECT_DOUBLE_EQ(mdlGlobal.DRX, 2);
}

TEST_F(FrmUni8, EveryClickIntoNdimShowsTheReminderForSheetTwo) {
    openSample();
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(field("txtNdim"), Qt::LeftButton);
        QApplication::processEvents();
    }
    ASSERT_EQ(host.ui.messages.size(), 2u);
    for (const auto& msg : host.ui.messages) {
        EXPECT_EQ(msg.text, "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");
        EXPECT_EQ(msg.title, "   VELTA");
    }
    QTest::mouseClick(field("txtKmod"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(host.ui.messages.size(), 2u);
    EXPECT_FALSE(win->edited());
}

TEST_F(FrmUni8, RegistryBuildsTheWindowAndHelpOpensTopic1002) {
    auto w = makeSectionWindow(8, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_8*>(w.get()), nullptr);
    openSample();
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
}

// Every data file of section 8 shipped in User opens and shows the values read.
TEST_F(FrmUni8, ShippedSamplesOpen) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(fs::path(VELTA_SOURCE_DIR) / "User")) {
        if (e.path().extension() != ".gsed") continue;
        const std::string name = e.path().filename().string();
        fs::copy_file(e.path(), fs::path(app.user()) / name, fs::copy_options::overwrite_existing);
        openSample("User/" + name);
        ASSERT_TRUE(win->isVisible()) << name;
        const Sec8::Fields f = Sec8::fieldsFromStore();
        const int last = mdlGlobal.NDIM + 1;
        EXPECT_EQ(field("txtKmod")->text().toStdString(), f.kmod) << name;
        EXPECT_EQ(field("txtXI1")->text().toStdString(), f.xi1) << name;
        EXPECT_EQ(grid("grdTable1")->text().joinRow(2, 2, last), f.xp.joinRow(2, 2, last)) << name;
        EXPECT_EQ(grid("grdTable2")->text().joinRow(2, 2, last), f.fp.joinRow(2, 2, last)) << name;
        win->cancel();
        ++n;
    }
    EXPECT_GE(n, 2);  // Logist and EcoCycle3
}

} // namespace
