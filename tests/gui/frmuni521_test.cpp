// The input window of section 5.2.1 driven as the user drives it: open a shipped sample,
// type into fields, switch sheets, "Ввод", "Отмена", with a scripted prompter and a real shell.
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"
#include "synthesis/section521/frmUni_521.h"

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

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> v;
    std::string::size_type at = 0, eol;
    while ((eol = bytes.find("\r\n", at)) != std::string::npos) {
        v.push_back(cp1251ToUtf8(bytes.substr(at, eol - at)));
        at = eol + 2;
    }
    return v;
}

// The part of a control that shows something: the text of a label where its alignment
// puts it, the whole box of a field.
QRect inkRect(const QWidget* w) {
    const auto* l = qobject_cast<const QLabel*>(w);
    if (!l) return w->geometry();
    const QFontMetrics fm = l->fontMetrics();
    const int tw = fm.horizontalAdvance(l->text()), th = fm.height();
    const int x = (l->alignment() & Qt::AlignRight) ? l->x() + l->width() - tw : l->x();
    return QRect(x, l->y() + (l->height() - th) / 2, tw, th);
}

std::string nameOf(const QWidget* w) {
    const auto* l = qobject_cast<const QLabel*>(w);
    return (l ? l->text() : w->objectName()).toStdString();
}

class FrmUni521 : public ::testing::Test {
protected:
    void SetUp() override {
        mdlGlobal.reset();
        for (const char* name : {"Syn2_Oscill.sy2d", "Syn2_Phase.sy2d"})
            fs::copy_file(fs::path(VELTA_SOURCE_DIR) / "User" / name, fs::path(app.user()) / name);
        host.shell().Sect_Select(521);
        win = std::make_unique<frmUni_521>(host);
    }

    QLineEdit* field(const char* name) { return win->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    SectionCore& core() { return *host.shell().core(521); }
    std::string text(const char* name) { return field(name)->text().toStdString(); }

    void openFile(const std::string& rel = "User/Syn2_Oscill.sy2d") {
        host.ui.openFiles.push_back(app.path(rel));
        win->IshDanSy2();
    }
    // Types into a field as the user does: click, select everything, type the new text.
    void typeInto(const char* name, const char* s) {
        QLineEdit* e = field(name);
        QTest::mouseClick(e, Qt::LeftButton);
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(e, s);
    }
    // Reads a data file through the section's own reader into mdlGlobal.
    void readBack(const std::string& path) {
        core().dataPath = path;
        NullSurface surf;
        Ctx ctx{surf, host.ui, host.paths()};
        core().InputPar(ctx);
    }

    test::TempApp app;
    TestHost host{app.root()};
    std::unique_ptr<frmUni_521> win;
};

const std::pair<const char*, const char*> kOscill[] = {
    {"txtNdim1_Ndim2", "6,6"}, {"txtAlfa", "10"},      {"txtBeta1_Beta2", "1,2"},
    {"txtGama1_Gama2", "4,3"}, {"txtTau1_Tau2", "5,5"}, {"txtTeta", "1"},
    {"txtIND", "0"},           {"txtX_Ndim", "0.1"},   {"txtTmax", "150"},
    {"txtHHH", "0.01"},        {"txtLscreen", "0"},    {"txtTmin", "100"},
    {"txtLgraph", "1"},        {"txtI1G", "1,5,6,10,11"}, {"txtNsc", "100"},
    {"txtDlx", "0"},           {"txtDrx", "0.6"},      {"txtDlw", "0"},
    {"txtDrw", "1"},           {"txtSclt", "0"},
};

TEST_F(FrmUni521, OpenFillsEveryFieldFromTheSampleAndShowsSheetOne) {
    openFile();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_FALSE(host.ui.dialogs[0].save);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.sy2d)|*.sy2d|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.user()));
    for (const auto& [name, value] : kOscill) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(text(name), value) << name;
    }
    EXPECT_EQ(win->findChildren<QLineEdit*>().size(), std::size(kOscill));
    EXPECT_TRUE(win->findChildren<FormGrid*>().isEmpty());
    EXPECT_TRUE(host.ui.messages.empty());

    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(), "Синтез\\Кодирование двумя ГЭ\\Автономная система");
    ASSERT_EQ(win->tabStrip()->count(), 3);
    EXPECT_EQ(win->tabStrip()->currentIndex(), 0);
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(win->frame(2)->isVisible());
    EXPECT_FALSE(win->frame(3)->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_EQ(core().dataPath, app.path("User/Syn2_Oscill.sy2d"));
    EXPECT_EQ(core().shownName, "Syn2_Oscill.sy2d");
    // The reading built the start: chain values, the common compartment perturbed.
    EXPECT_EQ(mdlGlobal.NDIM, 11);
    EXPECT_DOUBLE_EQ(mdlGlobal.X1(1), mdlGlobal.ZST1);
    EXPECT_DOUBLE_EQ(mdlGlobal.X1(6), mdlGlobal.ZST2);
    EXPECT_NEAR(mdlGlobal.X1(11) - mdlGlobal.STAT, 0.1, 1e-12);
    EXPECT_TRUE(app.exists("User/Input.chk"));

    win->cancel();
    openFile("User/Syn2_Phase.sy2d");
    EXPECT_TRUE(win->isVisible());
    for (const auto& [name, value] : kOscill) {
        const std::string n = name;
        if (n == "txtLgraph") EXPECT_EQ(text(name), "2");
        else if (n == "txtI1G") EXPECT_EQ(text(name), "5,11");
        else EXPECT_EQ(text(name), value) << name;
    }
    EXPECT_EQ(core().shownName, "Syn2_Phase.sy2d");
}

// Every heading, field label and explanatory line of the three sheets, on its sheet, with
// nothing clipped, nothing outside its frame and nothing drawn over anything else.
TEST_F(FrmUni521, SheetsCarryTheirLabelsAndFieldsWithoutOverlap) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры математической модели.", "Число уравнений системы",
         "NDIM = NDIM1 + NDIM2 - 1", "NDIM1, NDIM2 =", " ALFA =", " BETA1, BETA2 =",
         " GAMA1, GAMA2 =", "TAU1, TAU2 =", " TETA =",
         "2) Начальные данные:  X(i) = 0, i = 1,...,NDIM.", "Варианты задания начальных данных:",
         "IND = 0 - \"возмущенное\" стационарное решение,", "IND = 1 - нулевые начальные данные.",
         "IND =", "\"Возмущение\" компоненты  X(NDIM),  X_NDIM ="},
        {"3) Параметры интегрирования", "Интервал интегрирования:  0 <= t <= TMAX,  TMAX =",
         "Шаг интегрирования,  HHH =", "4) Определение периода:", "LSCREEN =", "TMIN =",
         "5) Графическое представление результатов:", "LGRAPH =",
         "LGRAPH = 1 - в физической плоскости,", "LGRAPH = 2 - в фазовой плоскости",
         "(LSCREEN = 0 при LGRAPH = 2)."},
        {"6) Номера компонент, выводимых на график", "7) Плотность выдачи результатов в таблицу",
         "NSC =", "8) Границы интервалов для графиков (в долях ALFA):", "DLX =", "DRX =", "DLW =",
         "DRW =", "SCLT =", "ALFA * DLX <= X(i) <= ALFA * DRX", "ALFA * DLW <=  W   <= ALFA * DRW",
         "SCLT <=  t   <= TMAX"}};
    const std::vector<std::vector<const char*>> fields = {
        {"txtNdim1_Ndim2", "txtAlfa", "txtBeta1_Beta2", "txtGama1_Gama2", "txtTau1_Tau2", "txtTeta",
         "txtIND", "txtX_Ndim"},
        {"txtTmax", "txtHHH", "txtLscreen", "txtTmin", "txtLgraph"},
        {"txtI1G", "txtNsc", "txtDlx", "txtDrx", "txtDlw", "txtDrw", "txtSclt"}};
    for (int sheet = 1; sheet <= 3; ++sheet) {
        const QRect inside(QPoint(0, 0), win->frame(sheet)->size());
        std::vector<std::string> got, want;
        std::vector<const QWidget*> shown;
        for (const QLabel* l : win->frame(sheet)->findChildren<QLabel*>()) {
            if (l->text().isEmpty()) continue;
            got.push_back(l->text().toStdString());
            shown.push_back(l);
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            EXPECT_TRUE(inside.contains(l->geometry())) << l->text().toStdString();
        }
        for (const QLineEdit* e : win->frame(sheet)->findChildren<QLineEdit*>()) {
            shown.push_back(e);
            EXPECT_TRUE(inside.contains(e->geometry())) << e->objectName().toStdString();
        }
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(inkRect(shown[i]).intersects(inkRect(shown[j])))
                    << "sheet " << sheet << ": " << nameOf(shown[i]) << " / " << nameOf(shown[j]);
        for (const char* s : labels[static_cast<std::size_t>(sheet - 1)]) want.push_back(s);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "sheet " << sheet;
        for (const char* name : fields[static_cast<std::size_t>(sheet - 1)])
            EXPECT_NE(win->frame(sheet)->findChild<QLineEdit*>(name), nullptr) << name;
    }
    // The time bound lines up with the other two on its "<=" sign.
    const auto bound = [&](const char* s) {
        for (const QLabel* l : win->frame(3)->findChildren<QLabel*>())
            if (l->text() == QString::fromUtf8(s))
                return l->x() + l->fontMetrics().horizontalAdvance(l->text().left(l->text().indexOf("<=")));
        return -1;
    };
    EXPECT_EQ(bound("SCLT <=  t   <= TMAX"), bound("ALFA * DLX <= X(i) <= ALFA * DRX"));
}

TEST_F(FrmUni521, AcceptWithoutEditsAsksNothingAndWritesNothing) {
    openFile();
    const std::string before = slurp(app.path("User/Syn2_Oscill.sy2d"));
    host.ui.saveFiles.push_back(app.path("User/never.sy2d"));
    win->tabStrip()->setCurrentIndex(1);
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(slurp(app.path("User/Syn2_Oscill.sy2d")), before);
    EXPECT_FALSE(app.exists("User/never.sy2d"));
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "Syn2_Oscill.sy2d");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
}

// Pairs typed as "first,second" and values on each sheet are saved; the file is the
// sample with exactly those lines changed and reads back with the edits.
TEST_F(FrmUni521, TypedValuesAndPairsAreSavedAndReadBack) {
    openFile();
    typeInto("txtNdim1_Ndim2", "4,7");
    typeInto("txtBeta1_Beta2", "1.5,2.5");
    EXPECT_TRUE(win->edited());
    win->tabStrip()->setCurrentIndex(1);
    typeInto("txtTmax", "80");
    win->tabStrip()->setCurrentIndex(2);
    typeInto("txtDrx", "0.75");
    host.ui.saveFiles.push_back(app.path("User/edited"));
    button("cmdINput1")->click();

    ASSERT_EQ(host.ui.dialogs.size(), 2u);
    EXPECT_TRUE(host.ui.dialogs[1].save);
    EXPECT_EQ(host.ui.dialogs[1].filter, "Файлы данных (*.sy2d)|*.sy2d|");
    ASSERT_TRUE(app.exists("User/edited.sy2d"));
    EXPECT_EQ(mdlGlobal.SaveOK, 1);
    EXPECT_EQ(core().dataPath, app.path("User/edited.sy2d"));
    EXPECT_EQ(host.shell().status2, "edited.sy2d");

    std::vector<std::string> want = linesOf(slurp(app.path("User/Syn2_Oscill.sy2d")));
    const std::vector<std::string> got = linesOf(slurp(app.path("User/edited.sy2d")));
    ASSERT_EQ(got.size(), want.size());
    for (auto& l : want) {
        if (l == "6,6") l = "4,7";
        if (l == "1,2") l = "1.5,2.5";
        if (l == "TMAX = 150") l = "TMAX = 80";
        if (l == "Drx = 0.6") l = "Drx = 0.75";
    }
    EXPECT_EQ(got, want);

    mdlGlobal.reset();
    readBack(app.path("User/edited.sy2d"));
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(mdlGlobal.NDIM1, 4);
    EXPECT_EQ(mdlGlobal.NDIM2, 7);
    EXPECT_EQ(mdlGlobal.NDIM, 10);
    EXPECT_EQ(mdlGlobal.X1.upper(), 10);
    EXPECT_DOUBLE_EQ(mdlGlobal.BETA1, 1.5);
    EXPECT_DOUBLE_EQ(mdlGlobal.BETA2, 2.5);
    EXPECT_DOUBLE_EQ(mdlGlobal.TMAX, 80);
    EXPECT_DOUBLE_EQ(mdlGlobal.DRX, 0.75);
    EXPECT_EQ(Sec521::fieldsFromStore().gama12, "4,3");
    EXPECT_EQ(mdlGlobal.NSC, 100);
}

// The chain lengths size no grid: no reminder, and a sheet switch leaves the store alone.
TEST_F(FrmUni521, ChainLengthsAreAPlainFieldWithoutReminder) {
    openFile();
    QTest::mouseClick(field("txtNdim1_Ndim2"), Qt::LeftButton);
    QApplication::processEvents();
    typeInto("txtNdim1_Ndim2", "3,3");
    win->tabStrip()->setCurrentIndex(2);
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(mdlGlobal.NDIM, 11);
    EXPECT_FALSE(win->dimensionChanged());
}

// A file whose stationary solution cannot be found still opens after the message and
// can be mended in the window.
TEST_F(FrmUni521, FileWithoutStationarySolutionOpensAfterTheMessageAndCanBeMended) {
    std::string bytes = slurp(app.path("User/Syn2_Oscill.sy2d"));
    bytes.replace(bytes.find("TETA = 1"), 8, "TETA = 0");
    app.write("User/noteta.sy2d", bytes);
    openFile("User/noteta.sy2d");
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_NE(host.ui.messages[0].text.find("TETA"), std::string::npos) << host.ui.messages[0].text;
    ASSERT_TRUE(win->isVisible());
    EXPECT_EQ(text("txtTeta"), "0");
    EXPECT_EQ(core().dataPath, app.path("User/noteta.sy2d"));

    typeInto("txtTeta", "1");
    host.ui.saveFiles.push_back(app.path("User/mended.sy2d"));
    button("cmdINput1")->click();
    host.ui.messages.clear();
    mdlGlobal.reset();
    readBack(app.path("User/mended.sy2d"));
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_GT(mdlGlobal.STAT, 0);
    EXPECT_NEAR(mdlGlobal.X1(11) - mdlGlobal.STAT, 0.1, 1e-12);
}

TEST_F(FrmUni521, CancelAfterEditsAndReopeningShowsTheFileValues) {
    openFile();
    typeInto("txtGama1_Gama2", "2,2");
    win->tabStrip()->setCurrentIndex(2);
    typeInto("txtNsc", "5");
    host.shell().enable(Cmd::OpenResl, true);
    button("cmdCancel1")->click();
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "");
    EXPECT_FALSE(host.shell().isEnabled(Cmd::OpenResl));
    EXPECT_EQ(host.ui.dialogs.size(), 1u);

    openFile();
    EXPECT_EQ(text("txtGama1_Gama2"), "4,3");
    EXPECT_EQ(text("txtNsc"), "100");
    EXPECT_EQ(win->tabStrip()->currentIndex(), 0);
    EXPECT_FALSE(win->edited());
}

TEST_F(FrmUni521, FailedReadingShowsNoWindowAndKeepsTheCurrentFile) {
    openFile();
    button("cmdINput1")->click();
    std::string bytes = slurp(app.path("User/Syn2_Oscill.sy2d"));
    bytes.replace(bytes.find("\r\n4,3\r\n"), 7, "\r\n4\r\n");  // the pair lacks its second value
    app.write("User/broken.sy2d", bytes);
    openFile("User/broken.sy2d");
    EXPECT_FALSE(win->isVisible());
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(core().dataPath, app.path("User/Syn2_Oscill.sy2d"));
    EXPECT_EQ(text("txtGama1_Gama2"), "4,3");
}

TEST_F(FrmUni521, HelpOpensTopic1002AndTheRegistryBuildsTheWindow) {
    openFile();
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
    auto w = makeSectionWindow(521, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_521*>(w.get()), nullptr);
}

} // namespace
