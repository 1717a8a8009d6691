// The input window of section 2.1 driven as the user drives it: a shipped sample opened,
// the connection matrix edited, NDIM changed, sheets switched, "Ввод" and the file read back.
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "models/section21/frmUni_21.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
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

class FrmUni21 : public ::testing::Test {
protected:
    void SetUp() override {
        mdlGlobal.reset();
        fs::copy_file(shipped("Kolco5.mtrd"), fs::path(app.user()) / "Kolco5.mtrd");
        host.shell().Sect_Select(21);
        win = std::make_unique<frmUni_21>(host);
    }

    QLineEdit* field(const char* name) { return win->findChild<QLineEdit*>(name); }
    FormGrid* grid(const char* name) { return win->findChild<FormGrid*>(name); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    SectionCore& core() { return *host.shell().core(21); }

    void openSample(const std::string& rel = "User/Kolco5.mtrd") {
        host.ui.openFiles.push_back(app.path(rel));
        win->IshDanGen();
    }
    void clickCell(FormGrid* g, int r, int c) {
        g->scrollToItem(g->item(r, c));
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
    std::unique_ptr<frmUni_21> win;
};

TEST_F(FrmUni21, OpenFillsEveryFieldAndGridFromTheShippedSample) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.mtrd)|*.mtrd|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.user()));
    ASSERT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(), "ГГС общего вида\\Автономная система. Задача Коши");
    EXPECT_EQ(win->sheetCount(), 5);
    EXPECT_EQ(win->tabStrip()->tabText(4).toStdString(), "Лист #5");
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(core().shownName, "Kolco5.mtrd");

    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "1"}, {"txtNdim", "5"}, {"txtAlfa", "10"}, {"txtBeta", "1"}, {"txtGama", "3"},
        {"txtI1N", "1,2,3,4,5"}, {"txtXI1", "3.0359,5.5146,0.1107,4.6577,0.7245"},
        {"txtTmax", "12"}, {"txtHHH", "0.01"}, {"txtLscreen", "1"}, {"txtTmin", "4"},
        {"txtLgraph", "1"}, {"txtLstep", "0"}, {"txtI1G", "1,2,3,4,5"}, {"txtNsc", "25"},
        {"txtDlx", "0"}, {"txtDrx", "1"}, {"txtDlw", "0"}, {"txtDrw", "1.5"}, {"txtSclt", "0"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }

    // The matrix grid: NDIM + 3 rows and columns, indexes at 2..NDIM+1, MC(i,j) in (i+1, j+1).
    FormGrid* m = grid("grdTable1");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->parentWidget(), win->frame(2));
    ASSERT_EQ(m->rowCount(), 8);
    ASSERT_EQ(m->columnCount(), 8);
    EXPECT_EQ(m->cell(0, 0).toStdString(), "(i,j)");
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(m->cell(0, k + 1).toInt(), k);
        EXPECT_EQ(m->cell(k + 1, 0).toInt(), k);
    }
    const char* rows[] = {"0,0,0.5,0,1", "1,0,0,0,0", "0,1,0,0,0", "2,0,1,0,0", "0,0,0,1,0"};
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(m->text().joinRow(i + 1, 2, 6), rows[i - 1]) << i;
    for (int k = 0; k <= 7; ++k) {
        EXPECT_EQ(m->cell(1, k).toStdString(), "");
        EXPECT_EQ(m->cell(7, k).toStdString(), "");
    }
    for (int c = 0; c < 8; ++c) EXPECT_EQ(m->columnWidth(c), FormGrid::kColWidth) << c;
    // Grid_Paint: the frame of rows/columns 1 and NDIM+2 grey, the values white.
    const QColor grey(224, 224, 224);
    EXPECT_EQ(m->item(1, 3)->background().color(), grey);
    EXPECT_EQ(m->item(4, 7)->background().color(), grey);
    EXPECT_EQ(m->item(7, 7)->background().color(), grey);
    EXPECT_EQ(m->item(4, 4)->background().color(), QColor(Qt::white));
    EXPECT_TRUE(m->isValueCell(2, 2));
    EXPECT_TRUE(m->isValueCell(6, 6));
    EXPECT_FALSE(m->isValueCell(7, 6));
    EXPECT_FALSE(m->isValueCell(1, 2));

    // The Poincaré grids on sheet 3, in order: Xo, then N.
    EXPECT_EQ(grid("grdTable2")->parentWidget(), win->frame(3));
    EXPECT_EQ(grid("grdTable3")->parentWidget(), win->frame(3));
    EXPECT_EQ(grid("grdTable2")->text().joinRow(2, 2, 6), "3,0,0,0,0");
    EXPECT_EQ(grid("grdTable3")->text().joinRow(2, 2, 6), "1,0,0,0,0");
    EXPECT_EQ(grid("grdTable2")->cell(0, 0).toStdString(), " Номера  компонент");
    EXPECT_EQ(grid("grdTable3")->cell(2, 0).toStdString(), "Значения компонент");
}

// Every heading, field label and explanatory line, on its sheet, readable and apart.
TEST_F(FrmUni21, SheetsCarryTheirLabelsAndFields) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели ГГС классов 1-4", "Номер класса,  MCLASS =",
         "Число элементов ГГС (размерность системы),  NDIM =", " ALFA =", " BETA =", " GAMA =",
         "2) Начальные данные:  X(i) = 0, i = 1,...,NDIM", "Номера ненулевых компонент,  i1,...:",
         "Значения ненулевых компонент,  X(i1),...:"},
        {"3) Матрица связей  MC(i,j)"},
        {"4) Задание плоскости Пуанкаре: (N, X-Xo) = 0", "Компоненты вектора  Xo",
         "Компоненты вектора нормали  N"},
        {"5) Параметры интегрирования", "Интервал интегрирования:  0 <= t <= TMAX,  TMAX =",
         "Шаг интегрирования,  HHH =", "6) Определение периода:", "LSCREEN =", "TMIN =",
         "LSCREEN = 1 - да,", "LSCREEN = 0 - нет", "(поиск min W(t), TMIN <= t <= TMAX)",
         "7) Графическое представление результатов:", "LGRAPH =",
         "LGRAPH = 1 - в физической плоскости,", "LGRAPH = 2 - в фазовой плоскости,",
         "LGRAPH = 3 - в плоскости Пуанкаре", "(LSCREEN = 0 при LGRAPH = 2,3).",
         "8) Порции выдачи результатов на график:", "LSTEP =",
         "LSTEP = 0 - непрерывная выдача на отрезке [0,TMAX],",
         "LSTEP > 0 - порция шагов интегрирования c непрерывной",
         "выдачей - до изменения TMAX. В дальнейшем LSTEP = 0."},
        {"9) Номера компонент, выводимых на график", "(NCOMP <= 12", "NCOMP <= NDIM при LGRAPH = 1",
         "NCOMP  = 2    при LGRAPH = 2,3)", "10) Плотность выдачи результатов в таблицу", "NSC =",
         "11) Границы интервалов для графиков (в долях ALFA):", "DLX =", "DRX =", "DLW =", "DRW =",
         "SCLT =", "ALFA * DLX <= X(i) <= ALFA * DRX", "ALFA * DLW <=  W   <= ALFA * DRW",
         "SCLT <=  t   <= TMAX"}};
    const std::vector<std::vector<const char*>> fields = {
        {"txtMclass", "txtNdim", "txtAlfa", "txtBeta", "txtGama", "txtI1N", "txtXI1"},
        {},
        {},
        {"txtTmax", "txtHHH", "txtLscreen", "txtTmin", "txtLgraph", "txtLstep"},
        {"txtI1G", "txtNsc", "txtDlx", "txtDrx", "txtDlw", "txtDrw", "txtSclt"}};
    for (int sheet = 1; sheet <= 5; ++sheet) {
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
    // The bounds line up on their "<=" signs.
    std::map<std::string, const QLabel*> byText;
    for (const QLabel* l : win->frame(5)->findChildren<QLabel*>()) byText[l->text().toStdString()] = l;
    auto signX = [&](const char* text) {
        const QLabel* l = byText.at(text);
        return l->x() + l->fontMetrics().horizontalAdvance(l->text().left(l->text().indexOf("<=")));
    };
    EXPECT_EQ(signX("ALFA * DLX <= X(i) <= ALFA * DRX"), signX("SCLT <=  t   <= TMAX"));
    EXPECT_EQ(signX("ALFA * DLW <=  W   <= ALFA * DRW"), signX("SCLT <=  t   <= TMAX"));

    openSample();
    checkSheets(*win, "frmUni_21");
}

TEST_F(FrmUni21, AcceptWithoutEditsAsksNothingAndKeepsTheFile) {
    openSample();
    const std::string before = slurp(app.path("User/Kolco5.mtrd"));
    host.ui.saveFiles.push_back(app.path("User/never.mtrd"));
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_FALSE(app.exists("User/never.mtrd"));
    EXPECT_EQ(slurp(app.path("User/Kolco5.mtrd")), before);
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "Kolco5.mtrd");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
}

// A matrix cell edited by click and keys: the saved file is the sample with that one line
// changed, and reads back to the same values with the edit.
TEST_F(FrmUni21, EditedMatrixCellIsSavedAndReadsBack) {
    openSample();
    const Sec21::Fields original = win->currentFields();
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* m = grid("grdTable1");
    clickCell(m, 2, 4);  // MC(1,3) = 0.5
    EXPECT_EQ(m->cell(2, 4).toStdString(), "");
    EXPECT_TRUE(win->edited());
    QTest::keyClicks(m, "0.25");
    EXPECT_EQ(m->cell(2, 4).toStdString(), "0.25");
    // A click on a header or frame cell changes nothing.
    clickCell(m, 0, 3);
    clickCell(m, 7, 3);
    EXPECT_EQ(m->cell(0, 3).toStdString(), "2");

    save("User/edited");
    ASSERT_TRUE(app.exists("User/edited.mtrd"));
    EXPECT_EQ(core().dataPath, app.path("User/edited.mtrd"));
    EXPECT_EQ(host.shell().status2, "edited.mtrd");
    EXPECT_FALSE(win->isVisible());

    std::string want = slurp(app.path("User/Kolco5.mtrd"));
    const std::size_t at = want.find("\r\n0,0,0.5,0,1\r\n");
    ASSERT_NE(at, std::string::npos);
    want.replace(at, 15, "\r\n0,0,0.25,0,1\r\n");
    EXPECT_EQ(slurp(app.path("User/edited.mtrd")), want);

    mdlGlobal.reset();
    readBack(app.path("User/edited.mtrd"));
    EXPECT_DOUBLE_EQ(mdlGlobal.MC(1, 3), 0.25);
    EXPECT_DOUBLE_EQ(mdlGlobal.MC(4, 1), 2);
    const Sec21::Fields back = Sec21::fieldsFromStore();
    for (int i = 2; i <= 6; ++i)
        EXPECT_EQ(back.mc.joinRow(i, 2, 6), i == 2 ? "0,0,0.25,0,1" : original.mc.joinRow(i, 2, 6));
    EXPECT_EQ(back.xi1, original.xi1);
    EXPECT_EQ(back.xp.joinRow(2, 2, 6), original.xp.joinRow(2, 2, 6));
    EXPECT_EQ(back.fp.joinRow(2, 2, 6), original.fp.joinRow(2, 2, 6));
    EXPECT_EQ(back.tmin, original.tmin);
    EXPECT_EQ(back.drw, original.drw);
    EXPECT_EQ(back.i1g, original.i1g);
}

TEST_F(FrmUni21, NdimChangeRebuildsAllThreeGridsWithZerosOnSheetSwitch) {
    openSample();
    win->tabStrip()->setCurrentIndex(2);
    clickCell(grid("grdTable2"), 2, 2);
    QTest::keyClicks(grid("grdTable2"), "7");
    win->tabStrip()->setCurrentIndex(0);
    field("txtNdim")->setText("3");
    EXPECT_TRUE(win->dimensionChanged());
    // The lists are the user's to correct; the grids follow by themselves.
    field("txtI1N")->setText("1,3");
    field("txtXI1")->setText("3.0359,0.1107");
    field("txtI1G")->setText("1,2,3");
    EXPECT_EQ(grid("grdTable1")->rowCount(), 8);  // nothing rebuilt before the switch
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdlGlobal.NDIM, 3);
    EXPECT_TRUE(win->frame(2)->isVisible());

    FormGrid* m = grid("grdTable1");
    ASSERT_EQ(m->rowCount(), 6);
    ASSERT_EQ(m->columnCount(), 6);
    EXPECT_EQ(m->cell(0, 0).toStdString(), "(i,j)");
    EXPECT_EQ(m->cell(0, 4).toStdString(), "3");
    EXPECT_EQ(m->cell(4, 0).toStdString(), "3");
    for (int r = 2; r <= 4; ++r)
        for (int c = 2; c <= 4; ++c) EXPECT_EQ(m->cell(r, c).toStdString(), "0") << r << "," << c;
    EXPECT_EQ(m->item(5, 2)->background().color(), QColor(224, 224, 224));
    for (const char* name : {"grdTable2", "grdTable3"}) {
        FormGrid* g = grid(name);
        ASSERT_EQ(g->columnCount(), 6) << name;
        EXPECT_EQ(g->text().joinRow(2, 2, 4), "0,0,0") << name;
    }

    // A link typed into the new matrix, saved, read back.
    clickCell(m, 3, 2);  // MC(2,1)
    QTest::keyClicks(m, "1");
    save("User/three.mtrd");
    ASSERT_TRUE(app.exists("User/three.mtrd"));
    mdlGlobal.reset();
    readBack(app.path("User/three.mtrd"));
    EXPECT_EQ(mdlGlobal.NDIM, 3);
    ASSERT_EQ(mdlGlobal.MC.rows(), 3);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_DOUBLE_EQ(mdlGlobal.MC(i, j), i == 2 && j == 1 ? 1 : 0);
    EXPECT_EQ(mdlGlobal.XP.upper(), 3);
    EXPECT_DOUBLE_EQ(mdlGlobal.XP(1), 0);
    EXPECT_EQ(mdlGlobal.NK, 2);
    EXPECT_DOUBLE_EQ(mdlGlobal.X1(3), 0.1107);
    EXPECT_DOUBLE_EQ(mdlGlobal.TMAX, 12);
    EXPECT_DOUBLE_EQ(mdlGlobal.DRW, 1.5);
    EXPECT_EQ(mdlGlobal.NSC, 25);
}

// NDIM changed and "Ввод" pressed on the same sheet: the grids follow before the file is
// written, so the file reads back.
TEST_F(FrmUni21, NdimChangedAndAcceptedWithoutSwitchWritesAConsistentFile) {
    openSample();
    field("txtNdim")->setText("2");
    field("txtI1N")->setText("2");
    field("txtXI1")->setText("5.5146");
    field("txtI1G")->setText("1,2");
    save("User/two.mtrd");
    EXPECT_EQ(grid("grdTable1")->rowCount(), 5);
    mdlGlobal.reset();
    readBack(app.path("User/two.mtrd"));
    EXPECT_EQ(mdlGlobal.NDIM, 2);
    EXPECT_EQ(mdlGlobal.MC.rows(), 2);
    EXPECT_EQ(mdlGlobal.NK, 1);
    EXPECT_DOUBLE_EQ(mdlGlobal.X1(1), 0);
    EXPECT_DOUBLE_EQ(mdlGlobal.X1(2), 5.5146);
    EXPECT_EQ(mdlGlobal.NCOMP, 2);
    EXPECT_DOUBLE_EQ(mdlGlobal.HHH, 0.01);
    EXPECT_DOUBLE_EQ(mdlGlobal.DRW, 1.5);
}

// Texts the reading or the computation would refuse are refused at "Ввод" with a message:
// nothing is written (an old file of that name stays as it was), the window stays open
// with the texts as typed, and the corrected texts are then saved.
TEST_F(FrmUni21, TextsThatCannotBeReadBackAreRefusedAndNothingIsWritten) {
    openSample();
    const std::string before = slurp(app.path("User/Kolco5.mtrd"));
    field("txtNdim")->setText("3");  // lists still name five components
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[] {}, "Номер ненулевой компоненты 4 вне диапазона 1..NDIM (NDIM = 3)"},
        {[&] { field("txtI1N")->setText("1,2,3"); },
         "Число значений ненулевых компонент (5) не совпадает с числом их номеров (3)"},
        {[&] { field("txtXI1")->setText("1,2"); },
         "Число значений ненулевых компонент (2) не совпадает с числом их номеров (3)"},
        {[&] { field("txtXI1")->setText("1,2,0.5"); },
         "Номер компоненты графика 4 вне диапазона 1..NDIM (NDIM = 3)"},
        {[&] { field("txtI1G")->setText("1,x"); }, "Недопустимый номер компоненты графика: «x»"},
        {[&] { field("txtI1G")->setText("3,1"); field("txtHHH")->setText("0"); },
         "Шаг интегрирования HHH должен быть больше 0 (HHH = 0)"},
        {[&] { field("txtHHH")->setText("0,01"); }, "Недопустимое значение  HHH = 0,01"},
        {[&] { field("txtHHH")->setText("0.02"); field("txtNsc")->setText("0"); },
         "Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = 0)"},
        {[&] { field("txtNsc")->setText("5"); field("txtLstep")->setText("-1"); },
         "Порция шагов LSTEP не должна быть отрицательной (LSTEP = -1)"},
    };
    std::size_t shown = 0;
    for (const auto& [edit, message] : steps) {
        edit();
        save("User/Kolco5.mtrd");
        ASSERT_EQ(host.ui.messages.size(), ++shown) << message;
        EXPECT_EQ(host.ui.messages.back().text, message);
        EXPECT_TRUE(win->isVisible());
        EXPECT_TRUE(win->tabStrip()->isVisible());
        EXPECT_TRUE(win->edited());
        EXPECT_EQ(slurp(app.path("User/Kolco5.mtrd")), before);
        EXPECT_EQ(core().dataPath, app.path("User/Kolco5.mtrd"));
    }
    // Empty lists are allowed: no nonzero component, nothing plotted.
    field("txtLstep")->setText("0");
    field("txtI1N")->setText("");
    field("txtXI1")->setText("");
    save("User/fixed.mtrd");
    EXPECT_EQ(host.ui.messages.size(), shown);
    ASSERT_TRUE(app.exists("User/fixed.mtrd"));
    EXPECT_FALSE(win->isVisible());
    mdlGlobal.reset();
    readBack(app.path("User/fixed.mtrd"));
    EXPECT_EQ(mdlGlobal.NDIM, 3);
    EXPECT_EQ(mdlGlobal.NK, 0);
    EXPECT_EQ(mdlGlobal.NCOMP, 2);
    EXPECT_EQ(mdlGlobal.IC(1), 3);
    EXPECT_DOUBLE_EQ(mdlGlobal.HHH, 0.02);
    EXPECT_EQ(mdlGlobal.NSC, 5);
    EXPECT_DOUBLE_EQ(mdlGlobal.DRW, 1.5);
}

// Another section's reading changes NDIM while the window stands open: the matrix and the
// vectors are still written at their own size.
TEST_F(FrmUni21, SaveWritesTheGridsAtTheirOwnSize) {
    openSample();
    mdlGlobal.NDIM = 7;
    field("txtBeta")->setText("2");
    save("User/own.mtrd");
    EXPECT_EQ(mdlGlobal.NDIM, 7);
    mdlGlobal.reset();
    readBack(app.path("User/own.mtrd"));
    EXPECT_EQ(mdlGlobal.NDIM, 5);
    EXPECT_DOUBLE_EQ(mdlGlobal.MC(5, 4), 1);
    EXPECT_DOUBLE_EQ(mdlGlobal.FP(1), 1);
    EXPECT_DOUBLE_EQ(mdlGlobal.BETA, 2);
    EXPECT_DOUBLE_EQ(mdlGlobal.SCLT, 0);
}

// A network too large for the sheet: the matrix scrolls inside the frame, and its last
// cell can still be reached and edited.
TEST_F(FrmUni21, LargeMatrixScrollsInsideItsSheet) {
    openSample();
    field("txtNdim")->setText("30");
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* m = grid("grdTable1");
    ASSERT_EQ(m->rowCount(), 33);
    const QRect inside(QPoint(0, 0), win->frame(2)->size());
    EXPECT_TRUE(inside.contains(m->geometry()));
    EXPECT_TRUE(m->verticalScrollBar()->isVisible());
    EXPECT_TRUE(m->horizontalScrollBar()->isVisible());
    if (const char* dir = std::getenv("VELTA_SHOTS"))
        win->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("frmUni_21_ndim30.png")));
    clickCell(m, 31, 31);
    QTest::keyClicks(m, "1");
    EXPECT_EQ(m->cell(31, 31).toStdString(), "1");
    for (const char* name : {"grdTable2", "grdTable3"})
        EXPECT_TRUE(QRect(QPoint(0, 0), win->frame(3)->size()).contains(grid(name)->geometry())) << name;
    save("User/big.mtrd");
    mdlGlobal.reset();
    readBack(app.path("User/big.mtrd"));
    EXPECT_EQ(mdlGlobal.NDIM, 30);
    EXPECT_DOUBLE_EQ(mdlGlobal.MC(30, 30), 1);
    EXPECT_DOUBLE_EQ(mdlGlobal.MC(30, 29), 0);
}

TEST_F(FrmUni21, EveryClickIntoNdimShowsTheReminderForSheetsTwoAndThree) {
    openSample();
    QLineEdit* ndim = field("txtNdim");
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(ndim, Qt::LeftButton);
        QApplication::processEvents();
    }
    ASSERT_EQ(host.ui.messages.size(), 2u);
    for (const auto& msg : host.ui.messages) {
        EXPECT_EQ(msg.text, "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #2,#3");
        EXPECT_EQ(msg.title, "   VELTA");
    }
    EXPECT_FALSE(win->edited());
    QTest::mouseClick(field("txtMclass"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(host.ui.messages.size(), 2u);
}

TEST_F(FrmUni21, CancelAfterEditsAndReopeningShowsTheFileValues) {
    openSample();
    win->tabStrip()->setCurrentIndex(1);
    clickCell(grid("grdTable1"), 3, 2);
    QTest::keyClicks(grid("grdTable1"), "9");
    button("cmdCancel1")->click();
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    openSample();
    EXPECT_EQ(grid("grdTable1")->cell(3, 2).toStdString(), "1");
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(win->edited());
}

TEST_F(FrmUni21, RegistryBuildsTheWindowAndHelpOpensTopic1002) {
    auto w = makeSectionWindow(21, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_21*>(w.get()), nullptr);
    openSample();
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
}

// Every data file of section 2.1 shipped in User opens and shows the values read.
TEST_F(FrmUni21, ShippedSamplesOpen) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(fs::path(VELTA_SOURCE_DIR) / "User")) {
        if (e.path().extension() != ".mtrd") continue;
        const std::string name = e.path().filename().string();
        fs::copy_file(e.path(), fs::path(app.user()) / name, fs::copy_options::overwrite_existing);
        openSample("User/" + name);
        ASSERT_TRUE(win->isVisible()) << name;
        const Sec21::Fields f = Sec21::fieldsFromStore();
        const int last = mdlGlobal.NDIM + 1;
        EXPECT_EQ(field("txtNdim")->text().toStdString(), f.ndim) << name;
        EXPECT_EQ(field("txtXI1")->text().toStdString(), f.xi1) << name;
        for (int r = 2; r <= last; ++r)
            EXPECT_EQ(grid("grdTable1")->text().joinRow(r, 2, last), f.mc.joinRow(r, 2, last)) << name;
        EXPECT_EQ(grid("grdTable3")->text().joinRow(2, 2, last), f.fp.joinRow(2, 2, last)) << name;
        win->cancel();
        ++n;
    }
    EXPECT_GE(n, 2);  // Kolco5 and Puank5
}

} // namespace
