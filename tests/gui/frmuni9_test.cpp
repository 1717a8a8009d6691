// The input window of section 9 driven as the user drives it: a shipped sample opened,
// the Poincaré grids edited, NDIM changed, sheets switched, "Ввод" and the file read back.
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "models/section9/frmUni_9.h"
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
#include <functional>
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

class FrmUni9 : public ::testing::Test {
protected:
    void SetUp() override {
        mdlGlobal.reset();
        fs::copy_file(shipped("Chaos_Puan.chad"), fs::path(app.user()) / "Chaos_Puan.chad");
        host.shell().Sect_Select(9);
        win = std::make_unique<frmUni_9>(host);
    }

    QLineEdit* field(const char* name) { return win->findChild<QLineEdit*>(name); }
    FormGrid* grid(const char* name) { return win->findChild<FormGrid*>(name); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    Sec9& core() { return dynamic_cast<Sec9&>(*host.shell().core(9)); }

    void openSample(const std::string& rel = "User/Chaos_Puan.chad") {
        host.ui.openFiles.push_back(app.path(rel));
        win->IshDanCha();
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
    std::unique_ptr<frmUni_9> win;
};

TEST_F(FrmUni9, OpenFillsEveryFieldAndGridFromTheShippedSample) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.chad)|*.chad|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.user()));
    ASSERT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(), "Колебания хаотического типа в ГГС");
    EXPECT_EQ(win->sheetCount(), 3);
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(core().shownName, "Chaos_Puan.chad");

    // The initial values come from the window's own YO, the order of the plotted
    // components from IC.
    const std::pair<const char*, const char*> expected[] = {
        {"txtNdim", "3"}, {"txtAlfa", "4"}, {"txtGama", "6"}, {"txtMCPZ", "4"},
        {"txtXI1", "0.3,0.6,0.9"}, {"txtSCLT", "0"}, {"txtSCRT", "2000"}, {"txtHHH", "0.002"},
        {"txtSCLX", "0.1"}, {"txtSCRX", "1"}, {"txtICi", "1,2,3"}, {"txtLscreen", "0"},
        {"txtLgraph", "3"}, {"txtNsc", "500"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    for (const char* name : {"grdTable1", "grdTable2"}) {
        ASSERT_NE(grid(name), nullptr) << name;
        EXPECT_EQ(grid(name)->parentWidget(), win->frame(2)) << name;
        ASSERT_EQ(grid(name)->columnCount(), 6) << name;
        EXPECT_EQ(grid(name)->cell(0, 0).toStdString(), " Номера  компонент");
        EXPECT_EQ(grid(name)->cell(0, 4).toStdString(), "3");
    }
    EXPECT_EQ(grid("grdTable1")->text().joinRow(2, 2, 4), "0,0,0.9");
    EXPECT_EQ(grid("grdTable2")->text().joinRow(2, 2, 4), "0,0,1");

    // A second file with other initial values refills the field from the new reading.
    std::string other = slurp(app.path("User/Chaos_Puan.chad"));
    other.replace(other.find("0.3,0.6,0.9"), 11, "0.1,0.2,0.7");
    app.write("User/other.chad", other);
    win->cancel();
    openSample("User/other.chad");
    EXPECT_EQ(field("txtXI1")->text().toStdString(), "0.1,0.2,0.7");
}

TEST_F(FrmUni9, SheetsCarryTheirLabelsAndFields) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели", "Число элементов ГГС (размерность системы),  NDIM =", " ALFA =",
         " GAMA =", "Число композиций,   MCPZ =", "2) Начальные данные,", "Xo(i),  i = 1,...,NDIM:",
         "3) Параметры метода, масштабы", "Интервал интегрирования:  SCLT <= t <= SCRT, SCLT =",
         "SCRT =", "Шаг интегрирования,  HHH =",
         "Интервал изменения компонент вектора X(t): SCLX <= X(t) <= SCRX,  SCLX =", "SCRX ="},
        {"4) Задание плоскости Пуанкаре: (N, X-Xo) = 0", "Компоненты вектора  Xo",
         "Компоненты вектора нормали  N"},
        {"5) Порядок номеров компонент, выводимых на график,", "IC(i), i = 1,2,3:",
         "6) Определение периода:", "LSCREEN =", "LSCREEN = 1 - да,", "LSCREEN = 0 - нет",
         "(поиск min W(t), TMIN <= t <= TMAX)", "7) Графическое представление результатов:",
         "LGRAPH =", "LGRAPH = 1 - в физической плоскости,", "LGRAPH = 2 - в фазовой плоскости,",
         "LGRAPH = 3 - в плоскости Пуанкаре ", "(LSCREEN = 0 при LGRAPH = 2,3).",
         "8) Плотность выдачи результатов в таблицу,", "NSC ="}};
    const std::vector<std::vector<const char*>> fields = {
        {"txtNdim", "txtAlfa", "txtGama", "txtMCPZ", "txtXI1", "txtSCLT", "txtSCRT", "txtHHH",
         "txtSCLX", "txtSCRX"},
        {},
        {"txtICi", "txtLscreen", "txtLgraph", "txtNsc"}};
    for (int sheet = 1; sheet <= 3; ++sheet) {
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
    checkSheets(*win, "frmUni_9");
}

// A grid cell edited by click and keys: the saved file is the sample with that one line
// changed, and reads back to the same values with the edit.
TEST_F(FrmUni9, EditedGridCellIsSavedAndReadsBack) {
    openSample();
    const std::string before = slurp(app.path("User/Chaos_Puan.chad"));
    const Sec9::Fields original = win->currentFields();
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* xo = grid("grdTable1");
    clickCell(xo, 2, 4);  // Xo(3) = 0.9
    QTest::keyClicks(xo, "0.75");
    EXPECT_TRUE(win->edited());
    save("User/edited");
    ASSERT_TRUE(app.exists("User/edited.chad"));
    EXPECT_EQ(host.shell().status2, "edited.chad");
    EXPECT_FALSE(win->isVisible());

    std::string want = before;
    const std::size_t at = want.find("XP(I):\r\n0,0,0.9\r\n");
    ASSERT_NE(at, std::string::npos);
    want.replace(at, 17, "XP(I):\r\n0,0,0.75\r\n");
    EXPECT_EQ(slurp(app.path("User/edited.chad")), want);

    mdlGlobal.reset();
    readBack(app.path("User/edited.chad"));
    EXPECT_DOUBLE_EQ(mdlGlobal.XP(3), 0.75);
    const Sec9::Fields back = core().fieldsFromStore();
    EXPECT_EQ(back.xi1, original.xi1);
    EXPECT_EQ(back.ici, original.ici);
    EXPECT_EQ(back.fp.joinRow(2, 2, 4), original.fp.joinRow(2, 2, 4));
    EXPECT_EQ(back.scrt, original.scrt);
    EXPECT_EQ(back.sclx, original.sclx);
    EXPECT_EQ(back.mcpz, original.mcpz);
    EXPECT_EQ(back.nsc, original.nsc);
}

// NDIM 3 -> 2 rebuilds the grids with zeros on the sheet switch; the value and component
// lists must then name two elements before the file is written.
TEST_F(FrmUni9, NdimChangeRebuildsTheGridsAndTheListsMustFollow) {
    openSample();
    field("txtNdim")->setText("2");
    EXPECT_TRUE(win->dimensionChanged());
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdlGlobal.NDIM, 2);
    for (const char* name : {"grdTable1", "grdTable2"}) {
        ASSERT_EQ(grid(name)->columnCount(), 5) << name;
        EXPECT_EQ(grid(name)->text().joinRow(2, 2, 3), "0,0") << name;
    }
    clickCell(grid("grdTable2"), 2, 3);
    QTest::keyClicks(grid("grdTable2"), "1");

    save("User/two.chad");
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Начальных значений Xo(i) должно быть NDIM = 2 (задано 3)");
    EXPECT_FALSE(app.exists("User/two.chad"));
    EXPECT_TRUE(win->isVisible());
    field("txtXI1")->setText("0.3,0.6");
    save("User/two.chad");
    ASSERT_EQ(host.ui.messages.size(), 2u);
    EXPECT_EQ(host.ui.messages[1].text, "Номеров компонент IC(i) должно быть NDIM = 2 (задано 3)");
    field("txtICi")->setText("2,1");
    save("User/two.chad");
    EXPECT_EQ(host.ui.messages.size(), 2u);
    ASSERT_TRUE(app.exists("User/two.chad"));

    mdlGlobal.reset();
    readBack(app.path("User/two.chad"));
    EXPECT_EQ(mdlGlobal.NDIM, 2);
    EXPECT_DOUBLE_EQ(core().YO(2), 0.6);
    EXPECT_EQ(mdlGlobal.IC(1), 2);
    EXPECT_DOUBLE_EQ(mdlGlobal.FP(2), 1);
    EXPECT_DOUBLE_EQ(mdlGlobal.XP(1), 0);
    EXPECT_DOUBLE_EQ(mdlGlobal.HHH, 0.002);
    EXPECT_EQ(mdlGlobal.NSC, 500);
}

// The model has three elements: a larger NDIM and unusable values are refused at "Ввод",
// nothing is written and the window stays open.
TEST_F(FrmUni9, ValuesTheComputationRefusesAreNotSaved) {
    openSample();
    const std::string before = slurp(app.path("User/Chaos_Puan.chad"));
    field("txtNdim")->setText("4");
    field("txtXI1")->setText("0.3,0.6,0.9,1");
    field("txtICi")->setText("1,2,3,4");
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[] {}, "Модель раздела рассчитана на три элемента: NDIM должно быть от 1 до 3 (NDIM = 4)"},
        {[&] {
             field("txtNdim")->setText("3");
             field("txtXI1")->setText("0.3,0.6,0.9");
             field("txtICi")->setText("1,2,4");
         },
         "Номер компоненты графика 4 вне диапазона 1..NDIM (NDIM = 3)"},
        {[&] { field("txtICi")->setText("3,2,1"); field("txtMCPZ")->setText("-1"); },
         "Число композиций MCPZ не должно быть отрицательным (MCPZ = -1)"},
        {[&] { field("txtMCPZ")->setText("2"); field("txtHHH")->setText("-0.1"); },
         "Шаг интегрирования HHH должен быть больше 0 (HHH = -0.1)"},
        {[&] { field("txtHHH")->setText("0.01"); field("txtNsc")->setText("сто"); },
         "Недопустимое значение  NSC = сто"},
    };
    std::size_t shown = 0;
    for (const auto& [edit, message] : steps) {
        edit();
        save("User/Chaos_Puan.chad");
        ASSERT_EQ(host.ui.messages.size(), ++shown) << message;
        EXPECT_EQ(host.ui.messages.back().text, message);
        EXPECT_TRUE(win->isVisible());
        EXPECT_EQ(slurp(app.path("User/Chaos_Puan.chad")), before);
    }
    field("txtNsc")->setText("100");
    save("User/fixed.chad");
    EXPECT_EQ(host.ui.messages.size(), shown);
    mdlGlobal.reset();
    readBack(app.path("User/fixed.chad"));
    EXPECT_EQ(mdlGlobal.NDIM, 3);
    EXPECT_EQ(mdlGlobal.IC(1), 3);
    EXPECT_EQ(mdlGlobal.MCPZ, 2);
    EXPECT_DOUBLE_EQ(mdlGlobal.HHH, 0.01);
    EXPECT_EQ(mdlGlobal.NSC, 100);
}

TEST_F(FrmUni9, EveryClickIntoNdimShowsTheReminderForSheetTwo) {
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
    QTest::mouseClick(field("txtMCPZ"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(host.ui.messages.size(), 2u);
    EXPECT_FALSE(win->edited());
}

TEST_F(FrmUni9, RegistryBuildsTheWindowAndHelpOpensTopic1002) {
    auto w = makeSectionWindow(9, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_9*>(w.get()), nullptr);
    openSample();
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
}

// Every data file of section 9 shipped in User opens and shows the values read.
TEST_F(FrmUni9, ShippedSamplesOpen) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(fs::path(VELTA_SOURCE_DIR) / "User")) {
        if (e.path().extension() != ".chad") continue;
        const std::string name = e.path().filename().string();
        fs::copy_file(e.path(), fs::path(app.user()) / name, fs::copy_options::overwrite_existing);
        openSample("User/" + name);
        ASSERT_TRUE(win->isVisible()) << name;
        const Sec9::Fields f = core().fieldsFromStore();
        const int last = mdlGlobal.NDIM + 1;
        EXPECT_EQ(field("txtXI1")->text().toStdString(), f.xi1) << name;
        EXPECT_EQ(field("txtICi")->text().toStdString(), f.ici) << name;
        EXPECT_EQ(field("txtLgraph")->text().toStdString(), f.lgraph) << name;
        EXPECT_EQ(grid("grdTable1")->text().joinRow(2, 2, last), f.xp.joinRow(2, 2, last)) << name;
        win->cancel();
        ++n;
    }
    EXPECT_GE(n, 3);
}

} // namespace
