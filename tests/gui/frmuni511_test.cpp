// The input window of section 5.1.1 driven as the user drives it: open a shipped sample,
// type into fields, switch sheets, "Ввод", "Отмена", with a scripted prompter and a real shell.
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"
#include "synthesis/section511/frmUni_511.h"

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

class FrmUni511 : public ::testing::Test {
protected:
    void SetUp() override {
        mdlGlobal.reset();
        for (const char* name : {"Syn1_Oscill.sy1d", "Syn1_Phase.sy1d"})
            fs::copy_file(fs::path(VELTA_SOURCE_DIR) / "User" / name, fs::path(app.user()) / name);
        host.shell().Sect_Select(511);
        win = std::make_unique<frmUni_511>(host);
    }

    QLineEdit* field(const char* name) { return win->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    SectionCore& core() { return *host.shell().core(511); }
    std::string text(const char* name) { return field(name)->text().toStdString(); }

    void openFile(const std::string& rel = "User/Syn1_Oscill.sy1d") {
        host.ui.openFiles.push_back(app.path(rel));
        win->IshDanSy1();
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
    std::unique_ptr<frmUni_511> win;
};

const std::pair<const char*, const char*> kOscill[] = {
    {"txtNdim", "8"},     {"txtAlfa", "10"},    {"txtBeta", "1"},     {"txtGama", "4"},
    {"txtTeta", "1"},     {"txtOmeg", "0.1"},   {"txtTau1", "5"},     {"txtTau2", "100"},
    {"txtIND", "0"},      {"txtX_Ndim", "0.1"}, {"txtX_1", "0"},      {"txtTmax", "200"},
    {"txtHHH", "0.01"},   {"txtLscreen", "0"},  {"txtTmin", "100"},   {"txtLgraph", "1"},
    {"txtI1G", "1,4,8"},  {"txtNss", "1"},      {"txtNsc", "100"},    {"txtSclx", "0"},
    {"txtScrx", "7"},     {"txtSclw", "0"},     {"txtScrw", "10"},    {"txtSclt", "0"},
};

TEST_F(FrmUni511, OpenFillsEveryFieldFromTheSampleAndShowsSheetOne) {
    openFile();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_FALSE(host.ui.dialogs[0].save);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.sy1d)|*.sy1d|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.user()));
    for (const auto& [name, value] : kOscill) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(text(name), value) << name;
    }
    EXPECT_EQ(win->findChildren<QLineEdit*>().size(), std::size(kOscill));
    EXPECT_TRUE(win->findChildren<FormGrid*>().isEmpty());
    EXPECT_TRUE(host.ui.messages.empty());

    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(), "Синтез\\Кодирование одним ГЭ\\Автономная система   ");
    ASSERT_EQ(win->tabStrip()->count(), 3);
    EXPECT_EQ(win->tabStrip()->tabText(2).toStdString(), "Лист #3");
    EXPECT_EQ(win->tabStrip()->currentIndex(), 0);
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(win->frame(2)->isVisible());
    EXPECT_FALSE(win->frame(3)->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_EQ(core().dataPath, app.path("User/Syn1_Oscill.sy1d"));
    EXPECT_EQ(core().shownName, "Syn1_Oscill.sy1d");
    // The reading built the start: the stationary solution, the last component perturbed.
    EXPECT_GT(mdlGlobal.XS(1), 0);
    EXPECT_DOUBLE_EQ(mdlGlobal.X1(1), mdlGlobal.XS(1));
    EXPECT_NEAR(mdlGlobal.X1(8) - mdlGlobal.XS(8), 0.1, 1e-12);
    EXPECT_TRUE(app.exists("User/Input.chk"));

    // The phase-plane sample differs in the plot kind and the plotted pair only.
    win->cancel();
    openFile("User/Syn1_Phase.sy1d");
    EXPECT_TRUE(win->isVisible());
    for (const auto& [name, value] : kOscill) {
        const std::string n = name;
        if (n == "txtLgraph") EXPECT_EQ(text(name), "2");
        else if (n == "txtI1G") EXPECT_EQ(text(name), "1,8");
        else EXPECT_EQ(text(name), value) << name;
    }
    EXPECT_EQ(core().shownName, "Syn1_Phase.sy1d");
}

// Every heading, field label and explanatory line of the three sheets, on its sheet, with
// nothing clipped, nothing outside its frame and nothing drawn over anything else.
TEST_F(FrmUni511, SheetsCarryTheirLabelsAndFieldsWithoutOverlap) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры математической модели", "Число уравнений системы,  NDIM =", " ALFA =",
         " BETA =", " GAMA =", " TETA =", " OMEG =", " TAU1 =", "TAU2 =",
         "2) Варианты задания начальных данных:",
         "IND = 0 - \"возмущенное\" стационарное решение,",
         "IND = 1 - \"возмущенное\" нулевое решение.", "IND =",
         "\"Возмущение\" компоненты  X(NDIM),  X_NDIM =", "\"Возмущение\" компоненты  X(1),  X_1 ="},
        {"3) Параметры интегрирования", "Интервал интегрирования:  0 <= t <= TMAX,  TMAX =",
         "Шаг интегрирования,  HHH =", "4) Определение периода:", "LSCREEN =", "TMIN =",
         "LSCREEN = 1 - да,", "LSCREEN = 0 - нет", "(поиск min W(t), TMIN <= t <= TMAX)",
         "5) Графическое представление результатов:", "LGRAPH =",
         "LGRAPH = 1 - в физической плоскости,", "LGRAPH = 2 - в фазовой плоскости",
         "(LSCREEN = 0 при LGRAPH = 2)."},
        {"6) Номера компонент, выводимых на график", "(NCOMP <= 12", "NCOMP <= NDIM при LGRAPH = 1",
         "NCOMP  = 2    при LGRAPH = 2)", "7) Плотность таблицы выдачи результатов:",
         "- стационарное решение,  NSS =", "- решение задачи Коши,   NSC =",
         "8) Границы интервалов для графиков:", "SCLX =", "SCRX =", "SCLW =", "SCRW =", "SCLT =",
         "SCLX <= X(i) <= SCRX", "SCLW <=  W   <= SCRW", "SCLT <=  t   <= TMAX"}};
    const std::vector<std::vector<const char*>> fields = {
        {"txtNdim", "txtAlfa", "txtBeta", "txtGama", "txtTeta", "txtOmeg", "txtTau1", "txtTau2",
         "txtIND", "txtX_Ndim", "txtX_1"},
        {"txtTmax", "txtHHH", "txtLscreen", "txtTmin", "txtLgraph"},
        {"txtI1G", "txtNss", "txtNsc", "txtSclx", "txtScrx", "txtSclw", "txtScrw", "txtSclt"}};
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
}

TEST_F(FrmUni511, AcceptWithoutEditsAsksNothingAndWritesNothing) {
    openFile();
    const std::string before = slurp(app.path("User/Syn1_Oscill.sy1d"));
    host.ui.saveFiles.push_back(app.path("User/never.sy1d"));
    win->tabStrip()->setCurrentIndex(2);  // looking at the sheets changes nothing
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);  // the open dialog only
    EXPECT_EQ(slurp(app.path("User/Syn1_Oscill.sy1d")), before);
    EXPECT_FALSE(app.exists("User/never.sy1d"));
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "Syn1_Oscill.sy1d");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
    EXPECT_GE(host.changes, 1);
}

// A value typed on each sheet is saved; the file is the sample with exactly those lines
// changed, and it reads back to the sample's values with the edits.
TEST_F(FrmUni511, TypedValuesAreSavedAndReadBack) {
    openFile();
    typeInto("txtOmeg", "0.25");
    EXPECT_TRUE(win->edited());
    win->tabStrip()->setCurrentIndex(1);
    typeInto("txtHHH", "0.02");
    win->tabStrip()->setCurrentIndex(2);
    typeInto("txtI1G", "2,3");
    EXPECT_TRUE(win->frame(3)->isVisible());
    host.ui.saveFiles.push_back(app.path("User/edited"));  // typed without extension
    button("cmdINput1")->click();

    ASSERT_EQ(host.ui.dialogs.size(), 2u);
    EXPECT_TRUE(host.ui.dialogs[1].save);
    EXPECT_EQ(host.ui.dialogs[1].filter, "Файлы данных (*.sy1d)|*.sy1d|");
    ASSERT_TRUE(app.exists("User/edited.sy1d"));
    EXPECT_EQ(mdlGlobal.SaveOK, 1);
    EXPECT_EQ(core().dataPath, app.path("User/edited.sy1d"));
    EXPECT_EQ(host.shell().status2, "edited.sy1d");
    EXPECT_FALSE(win->isVisible());

    std::vector<std::string> want = linesOf(slurp(app.path("User/Syn1_Oscill.sy1d")));
    const std::vector<std::string> got = linesOf(slurp(app.path("User/edited.sy1d")));
    ASSERT_EQ(got.size(), want.size());
    for (auto& l : want) {
        if (l == "OMEG = 0.1") l = "OMEG = 0.25";
        if (l == "HHH = 0.01") l = "HHH = 0.02";
        if (l == "1,4,8") l = "2,3";
    }
    EXPECT_EQ(got, want);

    mdlGlobal.reset();
    readBack(app.path("User/edited.sy1d"));
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_DOUBLE_EQ(mdlGlobal.OMEG, 0.25);
    EXPECT_DOUBLE_EQ(mdlGlobal.HHH, 0.02);
    ASSERT_EQ(mdlGlobal.NCOMP, 2);
    EXPECT_EQ(mdlGlobal.IC(1), 2);
    EXPECT_EQ(mdlGlobal.IC(2), 3);
    EXPECT_DOUBLE_EQ(mdlGlobal.TAU2, 100);
    EXPECT_DOUBLE_EQ(mdlGlobal.X_Ndim, 0.1);
}

// NDIM sizes no grid here: a new value is only a text until the file is saved and read,
// no reminder is shown and switching sheets leaves the store alone.
TEST_F(FrmUni511, NdimIsAPlainFieldSavedAndReadWithTheNewLength) {
    openFile();
    QTest::mouseClick(field("txtNdim"), Qt::LeftButton);
    QApplication::processEvents();
    typeInto("txtNdim", "12");
    typeInto("txtIND", "1");
    typeInto("txtX_1", "0.5");
    win->tabStrip()->setCurrentIndex(1);
    win->tabStrip()->setCurrentIndex(2);
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(mdlGlobal.NDIM, 8);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_TRUE(win->frame(3)->isVisible());

    host.ui.saveFiles.push_back(app.path("User/twelve.sy1d"));
    button("cmdINput1")->click();
    mdlGlobal.reset();
    readBack(app.path("User/twelve.sy1d"));
    EXPECT_EQ(mdlGlobal.NDIM, 12);
    EXPECT_EQ(mdlGlobal.X1.upper(), 12);
    // IND = 1: the zero state with component 1 perturbed.
    EXPECT_DOUBLE_EQ(mdlGlobal.X1(1), 0.5);
    EXPECT_DOUBLE_EQ(mdlGlobal.X1(12), 0);
    EXPECT_DOUBLE_EQ(mdlGlobal.SCRW, 10);
}

// A file whose stationary solution cannot be found still opens, after the message, so
// that it can be mended in the window; the mended file reads without a message.
TEST_F(FrmUni511, FileWithoutStationarySolutionOpensAfterTheMessageAndCanBeMended) {
    std::string bytes = slurp(app.path("User/Syn1_Oscill.sy1d"));
    bytes.replace(bytes.find("NDIM = 8"), 8, "NDIM = 3");
    app.write("User/short.sy1d", bytes);
    openFile("User/short.sy1d");
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_NE(host.ui.messages[0].text.find("NDIM"), std::string::npos) << host.ui.messages[0].text;
    ASSERT_TRUE(win->isVisible());
    EXPECT_EQ(text("txtNdim"), "3");
    EXPECT_EQ(text("txtX_Ndim"), "0.1");
    EXPECT_EQ(core().dataPath, app.path("User/short.sy1d"));
    EXPECT_FALSE(win->edited());

    typeInto("txtNdim", "8");
    host.ui.saveFiles.push_back(app.path("User/mended.sy1d"));
    button("cmdINput1")->click();
    EXPECT_EQ(host.shell().status2, "mended.sy1d");
    host.ui.messages.clear();
    mdlGlobal.reset();
    readBack(app.path("User/mended.sy1d"));
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(mdlGlobal.NDIM, 8);
    EXPECT_NEAR(mdlGlobal.X1(8) - mdlGlobal.XS(8), 0.1, 1e-12);
    EXPECT_EQ(mdlGlobal.NCOMP, 3);
}

TEST_F(FrmUni511, CancelledSaveWritesNothingAndKeepsTheFileCurrent) {
    openFile();
    mdlGlobal.SaveOK = 1;
    typeInto("txtTmax", "50");
    button("cmdINput1")->click();  // the save dialog answers Cancel
    EXPECT_EQ(host.ui.dialogs.size(), 2u);
    EXPECT_EQ(mdlGlobal.SaveOK, 0);
    EXPECT_EQ(core().dataPath, app.path("User/Syn1_Oscill.sy1d"));
    EXPECT_EQ(host.shell().status2, "Syn1_Oscill.sy1d");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
    EXPECT_EQ(std::distance(fs::directory_iterator(app.user()), fs::directory_iterator()), 3);
}

TEST_F(FrmUni511, CancelAfterEditsAndReopeningShowsTheFileValues) {
    openFile();
    typeInto("txtBeta", "7");
    win->tabStrip()->setCurrentIndex(2);
    typeInto("txtScrx", "9");
    host.shell().enable(Cmd::OpenResl, true);
    button("cmdCancel1")->click();
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "");
    EXPECT_FALSE(host.shell().isEnabled(Cmd::OpenResl));
    EXPECT_EQ(host.ui.dialogs.size(), 1u);  // no save dialog

    openFile();
    EXPECT_EQ(text("txtBeta"), "1");
    EXPECT_EQ(text("txtScrx"), "7");
    EXPECT_EQ(win->tabStrip()->currentIndex(), 0);
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(win->edited());
}

TEST_F(FrmUni511, FailedReadingShowsNoWindowAndKeepsTheCurrentFile) {
    openFile();
    button("cmdINput1")->click();
    std::string bytes = slurp(app.path("User/Syn1_Oscill.sy1d"));
    bytes.replace(bytes.find("TETA = 1"), 8, "TETA = x");
    app.write("User/broken.sy1d", bytes);
    openFile("User/broken.sy1d");
    EXPECT_FALSE(win->isVisible());
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(core().dataPath, app.path("User/Syn1_Oscill.sy1d"));
    EXPECT_EQ(text("txtTeta"), "1");
}

TEST_F(FrmUni511, HelpOpensTopic1002AndTheRegistryBuildsTheWindow) {
    openFile();
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
    EXPECT_TRUE(win->isVisible());
    auto w = makeSectionWindow(511, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_511*>(w.get()), nullptr);
}

} // namespace
