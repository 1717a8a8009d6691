// The input window of section 1.1 driven as the user drives it: open, edit, switch
// sheets, type into grids, "Ввод", "Отмена", with a scripted prompter and a real shell.
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "models/section11/frmUni_11.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

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

// A data file of section 1.1 with NDIM = 5 and distinct values everywhere.
const char* const kSample[] = {
    "Модель M(NDIM,KMOD)", "-------------------",
    "MCLASS = 2", "NDIM = 5", "KMOD = 3", "ALFA = 10", "BETA = 1.5", "GAMA = 2",
    "Начальные данные", "----------------", "i1,...:", "1,3", "X(i1),...:", "0.5,2.25",
    "Плоскость Пуанкаре", "------------------", "XP(I):", "1,2,3,4,5", "FP(I):", "0.25,0,1,0,-1",
    "Интегрирование", "--------------", "TMAX = 100", "HHH = 0.01",
    "Период", "------", "LSCREEN = 1", "TMIN = 50",
    "График", "------", "LGRAPH = 1",
    "Порции", "------", "LSTEP = 0",
    "Компоненты", "----------", "IC(I):", "1,2,3",
    "Таблица", "-------", "NSC = 10",
    "Границы", "-------", "Dlx = 0", "Drx = 1.2", "Dlw = 0.1", "Drw = 2", "Sclt = 5",
};

std::string sampleBytes() {
    std::string s;
    for (const char* l : kSample) s += utf8ToCp1251(l) + "\r\n";
    return s;
}

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

class FrmUni11 : public ::testing::Test {
protected:
    void SetUp() override {
        mdlGlobal.reset();
        app.write("User/sample.mnkd", sampleBytes());
        host.shell().Sect_Select(11);
        win = std::make_unique<frmUni_11>(host);
    }

    QLineEdit* field(const char* name) { return win->findChild<QLineEdit*>(name); }
    FormGrid* grid(const char* name) { return win->findChild<FormGrid*>(name); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    SectionCore& core() { return *host.shell().core(11); }

    void openSample(const std::string& rel = "User/sample.mnkd") {
        host.ui.openFiles.push_back(app.path(rel));
        win->IshDanSym();
    }
    void clickCell(FormGrid* g, int r, int c) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(r, c)).center());
    }
    // Reads a data file through the section's own reader into mdlGlobal.
    void readBack(const std::string& path) {
        core().dataPath = path;
        NullSurface surf;
        Ctx ctx{surf, host.ui, host.paths()};
        core().InputPar(ctx);
    }
    std::vector<std::string> userFiles() const {
        std::vector<std::string> v;
        for (const auto& e : fs::directory_iterator(app.user())) v.push_back(e.path().filename().string());
        std::sort(v.begin(), v.end());
        return v;
    }

    test::TempApp app;
    TestHost host{app.root()};
    std::unique_ptr<frmUni_11> win;
};

TEST_F(FrmUni11, OpenFillsEveryFieldAndGridAndShowsSheetOne) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_FALSE(host.ui.dialogs[0].save);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.mnkd)|*.mnkd|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.user()));

    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "2"}, {"txtNdim", "5"}, {"txtKmod", "3"}, {"txtAlfa", "10"},
        {"txtBeta", "1.5"}, {"txtGama", "2"}, {"txtI1N", "1,3"}, {"txtXI1", "0.5,2.25"},
        {"txtTmax", "100"}, {"txtHHH", "0.01"}, {"txtLscreen", "1"}, {"txtTmin", "50"},
        {"txtLgraph", "1"}, {"txtLstep", "0"}, {"txtI1G", "1,2,3"}, {"txtNsc", "10"},
        {"txtDlx", "0"}, {"txtDrx", "1.2"}, {"txtDlw", "0.1"}, {"txtDrw", "2"}, {"txtSclt", "5"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    FormGrid* g1 = grid("grdTable1");
    FormGrid* g2 = grid("grdTable2");
    ASSERT_TRUE(g1 && g2);
    ASSERT_EQ(g1->columnCount(), 8);
    ASSERT_EQ(g1->rowCount(), 4);
    const char* xp[] = {"1", "2", "3", "4", "5"};
    const char* fp[] = {"0.25", "0", "1", "0", "-1"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(g1->cell(2, i + 2).toStdString(), xp[i]);
        EXPECT_EQ(g2->cell(2, i + 2).toStdString(), fp[i]);
        EXPECT_EQ(g1->cell(0, i + 2).toStdString(), std::to_string(i + 1));
    }
    EXPECT_EQ(g1->cell(0, 0).toStdString(), " Номера  компонент");
    EXPECT_EQ(g2->cell(2, 0).toStdString(), "Значения компонент");

    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(), "Симметричные ГГС\\Автономная система");
    EXPECT_EQ(win->tabStrip()->currentIndex(), 0);
    EXPECT_TRUE(win->frame(1)->isVisible());
    for (int i = 2; i <= 4; ++i) EXPECT_FALSE(win->frame(i)->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(core().dataPath, app.path("User/sample.mnkd"));
    EXPECT_EQ(core().shownName, "sample.mnkd");
    // The reading wrote the check file.
    EXPECT_TRUE(app.exists("User/Input.chk"));
}

// Every heading, field label and explanatory line of the four sheets, on its sheet.
TEST_F(FrmUni11, SheetsCarryTheirLabelsAndFields) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели  M(NDIM,KMOD) классов 1-4", "Номер класса,  MCLASS =",
         "Число элементов ГГС (размерность системы),  NDIM =",
         "Число элементов, объединенных регуляторными связями,  KMOD =", " ALFA =", " BETA =",
         " GAMA =", "2) Начальные данные:  X(i) = 0, i = 1,...,NDIM",
         "Номера ненулевых компонент,  i1,...:", "Значения ненулевых компонент,  X(i1),...:"},
        {"3) Задание плоскости Пуанкаре: (N, X-Xo) = 0", "Компоненты вектора  Xo",
         "Компоненты вектора нормали  N"},
        {"4) Параметры интегрирования", "Интервал интегрирования:  0 <= t <= TMAX,  TMAX =",
         "Шаг интегрирования,  HHH =", "5) Определение периода:", "LSCREEN =", "TMIN =",
         "    LSCREEN = 1 - да,", "    LSCREEN = 0 - нет", "    (поиск min W(t), TMIN <= t <= TMAX)    ",
         "6) Графическое представление результатов:", "LGRAPH =",
         "    LGRAPH = 1 - в физической плоскости,", "    LGRAPH = 2 - в фазовой плоскости,",
         "    LGRAPH = 3 - в плоскости Пуанкаре ", "    (LSCREEN = 0 при LGRAPH = 2,3).",
         "7) Порции выдачи результатов на график:", "LSTEP =",
         "    LSTEP = 0 - непрерывная выдача на отрезке [0,TMAX],",
         "    LSTEP > 0 - порция шагов интегрирования c непрерывной",
         "    выдачей - до изменения TMAX. В дальнейшем LSTEP = 0."},
        {"8) Номера компонент, выводимых на график", "    (NCOMP <= 12",
         "     NCOMP <= NDIM при LGRAPH = 1", "     NCOMP  = 2    при LGRAPH = 2,3)",
         "9) Плотность выдачи результатов в таблицу", "NSC =",
         "10) Границы интервалов для графиков (в долях ALFA):", "DLX =", "DRX =", "DLW =", "DRW =",
         "SCLT =", "           ALFA * DLX <= X(i) <= ALFA * DRX",
         "           ALFA * DLW <=  W   <= ALFA * DRW", "                 SCLT <=  t   <= TMAX"}};
    const std::vector<std::vector<const char*>> fields = {
        {"txtMclass", "txtNdim", "txtKmod", "txtAlfa", "txtBeta", "txtGama", "txtI1N", "txtXI1"},
        {},
        {"txtTmax", "txtHHH", "txtLscreen", "txtTmin", "txtLgraph", "txtLstep"},
        {"txtI1G", "txtNsc", "txtDlx", "txtDrx", "txtDlw", "txtDrw", "txtSclt"}};
    for (int sheet = 1; sheet <= 4; ++sheet) {
        QStringList shown;
        const QRect inside(QPoint(0, 0), win->frame(sheet)->size());
        for (const QLabel* l : win->frame(sheet)->findChildren<QLabel*>()) {
            if (l->text().isEmpty()) continue;
            shown << l->text();
            // Readable: neither clipped nor beyond the frame.
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            EXPECT_TRUE(inside.contains(l->geometry())) << l->text().toStdString();
        }
        for (const QLineEdit* e : win->frame(sheet)->findChildren<QLineEdit*>())
            EXPECT_TRUE(inside.contains(e->geometry())) << e->objectName().toStdString();
        std::vector<std::string> got, want;
        for (const QString& s : shown) got.push_back(s.toStdString());
        for (const char* s : labels[static_cast<std::size_t>(sheet - 1)]) want.push_back(s);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "sheet " << sheet;
        for (const char* name : fields[static_cast<std::size_t>(sheet - 1)])
            EXPECT_NE(win->frame(sheet)->findChild<QLineEdit*>(name), nullptr) << name;
    }
    EXPECT_NE(win->frame(2)->findChild<FormGrid*>("grdTable1"), nullptr);
    EXPECT_NE(win->frame(2)->findChild<FormGrid*>("grdTable2"), nullptr);
}

TEST_F(FrmUni11, AcceptWithoutEditsAsksNothingAndWritesNothing) {
    openSample();
    const std::string before = slurp(app.path("User/sample.mnkd"));
    const auto files = userFiles();
    host.ui.saveFiles.push_back(app.path("User/never.mnkd"));
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);  // the open dialog only
    EXPECT_EQ(slurp(app.path("User/sample.mnkd")), before);
    EXPECT_EQ(userFiles(), files);
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "sample.mnkd");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
    EXPECT_GE(host.changes, 1);
    EXPECT_EQ(core().dataPath, app.path("User/sample.mnkd"));
}

TEST_F(FrmUni11, EditedValueIsSavedAndReadsBackWithEverythingElseUnchanged) {
    openSample();
    const Sec11::Fields original = win->currentFields();
    field("txtAlfa")->setText("12.5");
    EXPECT_TRUE(win->edited());
    host.ui.saveFiles.push_back(app.path("User/edited"));  // typed without extension
    button("cmdINput1")->click();

    ASSERT_EQ(host.ui.dialogs.size(), 2u);
    EXPECT_TRUE(host.ui.dialogs[1].save);
    EXPECT_EQ(host.ui.dialogs[1].filter, "Файлы данных (*.mnkd)|*.mnkd|");
    ASSERT_TRUE(app.exists("User/edited.mnkd"));
    EXPECT_EQ(mdlGlobal.SaveOK, 1);
    EXPECT_EQ(core().dataPath, app.path("User/edited.mnkd"));
    EXPECT_EQ(host.shell().status2, "edited.mnkd");
    EXPECT_FALSE(win->isVisible());

    // The header lines come back as read; only ALFA differs from the original file.
    const std::string saved = cp1251ToUtf8(slurp(app.path("User/edited.mnkd")));
    EXPECT_EQ(saved.rfind("Модель M(NDIM,KMOD)\r\n-------------------\r\nMCLASS = 2\r\n", 0), 0u);
    mdlGlobal.reset();
    readBack(app.path("User/edited.mnkd"));
    EXPECT_DOUBLE_EQ(mdlGlobal.ALFA, 12.5);
    Sec11::Fields back = Sec11::fieldsFromStore();
    EXPECT_EQ(back.alfa, "12.5");
    back.alfa = original.alfa;
    EXPECT_EQ(back.mclass, original.mclass);
    EXPECT_EQ(back.ndim, original.ndim);
    EXPECT_EQ(back.i1n, original.i1n);
    EXPECT_EQ(back.xi1, original.xi1);
    EXPECT_EQ(back.xp.joinRow(2, 2, 6), "1,2,3,4,5");
    EXPECT_EQ(back.fp.joinRow(2, 2, 6), "0.25,0,1,0,-1");
    EXPECT_EQ(back.tmax, original.tmax);
    EXPECT_EQ(back.hhh, original.hhh);
    EXPECT_EQ(back.lscreen, original.lscreen);
    EXPECT_EQ(back.tmin, original.tmin);
    EXPECT_EQ(back.i1g, original.i1g);
    EXPECT_EQ(back.nsc, original.nsc);
    EXPECT_EQ(back.drx, original.drx);
    EXPECT_EQ(back.dlw, original.dlw);
    EXPECT_EQ(back.sclt, original.sclt);
}

TEST_F(FrmUni11, CancelledSaveWritesNothingAndKeepsTheFileCurrent) {
    openSample();
    mdlGlobal.SaveOK = 1;
    field("txtKmod")->setText("2");
    const auto files = userFiles();
    button("cmdINput1")->click();  // the save dialog answers Cancel
    EXPECT_EQ(host.ui.dialogs.size(), 2u);
    EXPECT_EQ(mdlGlobal.SaveOK, 0);
    EXPECT_EQ(userFiles(), files);
    EXPECT_EQ(core().dataPath, app.path("User/sample.mnkd"));
    EXPECT_EQ(host.shell().status2, "sample.mnkd");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
}

TEST_F(FrmUni11, NdimChangeRebuildsBothGridsWithZerosOnSheetSwitch) {
    openSample();
    field("txtNdim")->setText("3");
    EXPECT_TRUE(win->dimensionChanged());
    EXPECT_EQ(grid("grdTable1")->columnCount(), 8);  // nothing rebuilt before the switch
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdlGlobal.NDIM, 3);
    for (const char* name : {"grdTable1", "grdTable2"}) {
        FormGrid* g = grid(name);
        ASSERT_EQ(g->columnCount(), 6) << name;
        for (int c = 2; c <= 4; ++c) EXPECT_EQ(g->cell(2, c).toStdString(), "0") << name;
        EXPECT_EQ(g->cell(2, 5).toStdString(), "");
    }
    EXPECT_TRUE(win->frame(2)->isVisible());
    EXPECT_FALSE(win->frame(1)->isVisible());

    // Saved and read again: three components, the later blocks in place.
    host.ui.saveFiles.push_back(app.path("User/three.mnkd"));
    button("cmdINput1")->click();
    mdlGlobal.reset();
    readBack(app.path("User/three.mnkd"));
    EXPECT_EQ(mdlGlobal.NDIM, 3);
    EXPECT_EQ(mdlGlobal.XP.upper(), 3);
    EXPECT_DOUBLE_EQ(mdlGlobal.FP(3), 0);
    EXPECT_DOUBLE_EQ(mdlGlobal.TMAX, 100);
    EXPECT_DOUBLE_EQ(mdlGlobal.SCLT, 5);
}

TEST_F(FrmUni11, NdimChangedAndAcceptedWithoutSwitchStillWritesAConsistentFile) {
    openSample();
    field("txtNdim")->setText("4");
    host.ui.saveFiles.push_back(app.path("User/four.mnkd"));
    button("cmdINput1")->click();
    EXPECT_EQ(grid("grdTable1")->columnCount(), 7);
    mdlGlobal.reset();
    readBack(app.path("User/four.mnkd"));
    EXPECT_EQ(mdlGlobal.NDIM, 4);
    EXPECT_DOUBLE_EQ(mdlGlobal.TMAX, 100);
    EXPECT_EQ(mdlGlobal.NSC, 10);
}

// The window stays open while another section's reading may change NDIM: the grids are
// still written at their own length and the store keeps the other reading's NDIM.
TEST_F(FrmUni11, SaveWritesTheGridsAtTheirOwnLength) {
    openSample();
    mdlGlobal.NDIM = 2;
    field("txtGama")->setText("3");
    host.ui.saveFiles.push_back(app.path("User/own.mnkd"));
    button("cmdINput1")->click();
    EXPECT_EQ(mdlGlobal.NDIM, 2);
    mdlGlobal.reset();
    readBack(app.path("User/own.mnkd"));
    EXPECT_EQ(mdlGlobal.NDIM, 5);
    EXPECT_DOUBLE_EQ(mdlGlobal.FP(5), -1);
    EXPECT_DOUBLE_EQ(mdlGlobal.GAMA, 3);
    EXPECT_DOUBLE_EQ(mdlGlobal.TMAX, 100);
}

TEST_F(FrmUni11, BadNdimTextOnSheetSwitchGivesAMessageAndKeepsTheGrids) {
    openSample();
    field("txtNdim")->setText("пять");
    win->tabStrip()->setCurrentIndex(1);
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Недопустимое значение  NDIM = пять");
    EXPECT_EQ(grid("grdTable1")->columnCount(), 8);
    EXPECT_EQ(grid("grdTable1")->cell(2, 3).toStdString(), "2");
    EXPECT_EQ(mdlGlobal.NDIM, 5);
    EXPECT_TRUE(win->dimensionChanged());
    EXPECT_TRUE(win->frame(2)->isVisible());
    // "Ввод" with the bad text refuses to write a file whose grids would not match.
    host.ui.saveFiles.push_back(app.path("User/bad.mnkd"));
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.messages.size(), 2u);
    EXPECT_FALSE(app.exists("User/bad.mnkd"));
    EXPECT_TRUE(win->isVisible());
}

TEST_F(FrmUni11, GridClickEmptiesTheCellAndTypingFillsIt) {
    openSample();
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* g = grid("grdTable1");
    clickCell(g, 2, 3);
    EXPECT_EQ(g->cell(2, 3).toStdString(), "");
    EXPECT_TRUE(win->edited());
    QTest::keyClicks(g, "0.5");
    EXPECT_EQ(g->cell(2, 3).toStdString(), "0.5");
    // Without a new click the characters are appended.
    QTest::keyClicks(g, "25");
    EXPECT_EQ(g->cell(2, 3).toStdString(), "0.525");
    QTest::keyClick(g, Qt::Key_Backspace);
    QTest::keyClick(g, Qt::Key_Backspace);
    EXPECT_EQ(g->cell(2, 3).toStdString(), "0.5");
    // Enter goes on to the next component, whose text is appended to, not replaced.
    QTest::keyClick(g, Qt::Key_Return);
    EXPECT_EQ(g->currentColumn(), 4);
    QTest::keyClicks(g, "7");
    EXPECT_EQ(g->cell(2, 4).toStdString(), "37");
    EXPECT_EQ(g->cell(2, 3).toStdString(), "0.5");

    host.ui.saveFiles.push_back(app.path("User/grid.mnkd"));
    button("cmdINput1")->click();
    mdlGlobal.reset();
    readBack(app.path("User/grid.mnkd"));
    EXPECT_DOUBLE_EQ(mdlGlobal.XP(2), 0.5);
    EXPECT_DOUBLE_EQ(mdlGlobal.XP(3), 37);
    EXPECT_DOUBLE_EQ(mdlGlobal.FP(1), 0.25);
}

TEST_F(FrmUni11, EveryClickIntoNdimShowsTheReminder) {
    openSample();
    QLineEdit* ndim = field("txtNdim");
    QTest::mouseClick(ndim, Qt::LeftButton);
    QApplication::processEvents();
    QTest::mouseClick(ndim, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(host.ui.messages.size(), 2u);
    for (const auto& m : host.ui.messages) {
        EXPECT_EQ(m.text, "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");
        EXPECT_EQ(m.title, "   VELTA");
    }
    // A click changes nothing; other fields give no reminder.
    EXPECT_FALSE(win->edited());
    QTest::mouseClick(field("txtKmod"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(host.ui.messages.size(), 2u);
}

TEST_F(FrmUni11, CancelAfterEditsAndReopeningShowsTheFileValues) {
    openSample();
    field("txtTmax")->setText("999");
    win->tabStrip()->setCurrentIndex(1);
    clickCell(grid("grdTable2"), 2, 2);
    QTest::keyClicks(grid("grdTable2"), "8");
    host.shell().status2 = "sample.mnkd";
    host.shell().enable(Cmd::OpenResl, true);
    button("cmdCancel1")->click();
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "");
    EXPECT_FALSE(host.shell().isEnabled(Cmd::OpenResl));
    EXPECT_EQ(host.ui.dialogs.size(), 1u);  // no save dialog

    openSample();
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(field("txtTmax")->text().toStdString(), "100");
    EXPECT_EQ(grid("grdTable2")->cell(2, 2).toStdString(), "0.25");
    EXPECT_EQ(win->tabStrip()->currentIndex(), 0);
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(win->edited());
}

TEST_F(FrmUni11, FailedReadingShowsNoWindowAndKeepsTheCurrentFile) {
    std::string broken = sampleBytes();
    broken.replace(broken.find("ALFA = 10"), 9, "ALFA  = 10");  // two blanks: no value
    app.write("User/broken.mnkd", broken);
    openSample("User/broken.mnkd");
    EXPECT_FALSE(win->isVisible());
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(field("txtMclass")->text().toStdString(), "");
    EXPECT_EQ(core().dataPath, "");

    // After a good file, a failing one leaves the good one current and its values shown.
    openSample();
    button("cmdINput1")->click();
    app.write("User/short.mnkd", sampleBytes().substr(0, 120));
    openSample("User/short.mnkd");
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(core().dataPath, app.path("User/sample.mnkd"));
    EXPECT_EQ(field("txtAlfa")->text().toStdString(), "10");
    EXPECT_TRUE(host.ui.messages.empty());
}

TEST_F(FrmUni11, CancelledOpenDialogChangesNothing) {
    win->IshDanSym();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_FALSE(win->isVisible());
    EXPECT_FALSE(app.exists("User/Input.chk"));
}

TEST_F(FrmUni11, HelpOpensTopic1002) {
    openSample();
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
    EXPECT_TRUE(win->isVisible());
}

TEST_F(FrmUni11, RegistryBuildsTheWindowOfSection11) {
    auto w = makeSectionWindow(11, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_11*>(w.get()), nullptr);
    EXPECT_NE(w->widget()->findChild<QTabBar*>("TabStrip1"), nullptr);
    EXPECT_EQ(makeSectionWindow(0, host), nullptr);
    EXPECT_EQ(makeSectionWindow(10, host), nullptr);
}

// Every data file of section 1.1 shipped in User opens and shows the values read.
TEST_F(FrmUni11, ShippedSamplesOpen) {
    const fs::path shipped = fs::path(VELTA_SOURCE_DIR) / "User";
    int n = 0;
    if (fs::is_directory(shipped))
        for (const auto& e : fs::directory_iterator(shipped)) {
            if (e.path().extension() != ".mnkd") continue;
            const std::string name = e.path().filename().string();
            fs::copy_file(e.path(), fs::path(app.user()) / name, fs::copy_options::overwrite_existing);
            openSample("User/" + name);
            ASSERT_TRUE(win->isVisible()) << name;
            const Sec11::Fields f = Sec11::fieldsFromStore();
            EXPECT_EQ(field("txtNdim")->text().toStdString(), f.ndim) << name;
            EXPECT_EQ(field("txtXI1")->text().toStdString(), f.xi1) << name;
            EXPECT_EQ(grid("grdTable2")->text().joinRow(2, 2, mdlGlobal.NDIM + 1),
                      f.fp.joinRow(2, 2, mdlGlobal.NDIM + 1)) << name;
            win->cancel();
            ++n;
        }
    if (n == 0) GTEST_SKIP() << "no .mnkd sample in User";
}

} // namespace
