// The input window of section 3 (circulant stability) driven as the user drives it: open,
// edit, switch sheets, "Ввод", "Отмена", with a scripted prompter and a real shell.
#include "stationary/section3/frmUni_3.h"
#include "support/form_test_host.h"

using namespace velta;
using velta::test::bytesOf;
namespace fs = std::filesystem;

namespace {

class FrmUni3 : public test::FormTest<frmUni_3> {
protected:
    FrmUni3() : FormTest(3, &frmUni_3::IshDanStb, {"Cirk5_Class2.stbd"}) {}
};

TEST_F(FrmUni3, OpenFillsEveryFieldAndShowsSheetOne) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.stbd)|*.stbd|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.user()));
    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "2"}, {"txtNdim", "5"},  {"txtKmod", "3"}, {"txtBeta", "1"},   {"txtGama", "4"},
        {"txtAmin", "0"},   {"txtAmax", "12"}, {"txtUmin", "0"}, {"txtUmax", "1.5"}, {"txtNdel", "60"}};
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(), "Устойчивость циркулянта");
    EXPECT_EQ(win->objectName().toStdString(), "frmUni_3");
    EXPECT_EQ(win->sheetCount(), 2);
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(win->frame(2)->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_EQ(core().shownName, "Cirk5_Class2.stbd");
    for (const char* b : {"cmdInput4", "cmdCancel4", "cmdHelp4"}) EXPECT_NE(button(b), nullptr) << b;
    EXPECT_EQ(button("cmdInput4")->text().toStdString(), "Ввод");
    EXPECT_EQ(button("cmdCancel4")->text().toStdString(), "Отмена");
    EXPECT_EQ(button("cmdHelp4")->text().toStdString(), "Справка");
}

TEST_F(FrmUni3, SheetsCarryTheirLabelsUnclippedInsideTheFrames) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели  M(NDIM,KMOD) классов 1-4",
         "Номер класса,  MCLASS =", "Число элементов ГГС (размерность системы),  NDIM =",
         "Число элементов, объединенных регуляторными связями,  KMOD =", "BETA =", "GAMA ="},
        {"2) Параметры построения зависимости U от ALFA.",
         "    Область изменения ALFA и масштабы для графика U=U(ALFA):", "              Amin <= ALFA <= Amax",
         "              Umin <=  U   <= Umax",
         "Amin =", "Amax =", "Umin =", "Umax =", "Число разбиений отрезка [Amin,Amax],  NDEL ="}};
    const std::vector<std::vector<const char*>> fields = {
        {"txtMclass", "txtNdim", "txtKmod", "txtBeta", "txtGama"},
        {"txtAmin", "txtAmax", "txtUmin", "txtUmax", "txtNdel"}};
    openSample();
    for (int sheet = 1; sheet <= 2; ++sheet) {
        win->tabStrip()->setCurrentIndex(sheet - 1);
        const QRect inside(QPoint(0, 0), win->frame(sheet)->size());
        std::vector<std::string> got, want;
        std::vector<QRect> labelBoxes, fieldBoxes;
        for (const QLabel* l : win->frame(sheet)->findChildren<QLabel*>()) {
            got.push_back(l->text().toStdString());
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            EXPECT_TRUE(inside.contains(l->geometry())) << l->text().toStdString();
            labelBoxes.push_back(l->geometry());
        }
        for (const QLineEdit* e : win->frame(sheet)->findChildren<QLineEdit*>()) {
            EXPECT_TRUE(inside.contains(e->geometry())) << e->objectName().toStdString();
            fieldBoxes.push_back(e->geometry());
        }
        // No field covers a label or another field.
        for (std::size_t a = 0; a < fieldBoxes.size(); ++a) {
            for (const QRect& l : labelBoxes) EXPECT_FALSE(fieldBoxes[a].intersects(l)) << "sheet " << sheet;
            for (std::size_t b = a + 1; b < fieldBoxes.size(); ++b)
                EXPECT_FALSE(fieldBoxes[a].intersects(fieldBoxes[b])) << "sheet " << sheet;
        }
        for (const char* s : labels[static_cast<std::size_t>(sheet - 1)]) want.push_back(s);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "sheet " << sheet;
        for (const char* name : fields[static_cast<std::size_t>(sheet - 1)])
            EXPECT_NE(win->frame(sheet)->findChild<QLineEdit*>(name), nullptr) << name;
        if (const char* dir = std::getenv("VELTA_SHOT_DIR"))
            win->grab().save(QString::fromUtf8(dir) + QStringLiteral("/frmUni_3_sheet%1.png").arg(sheet));
    }
}

TEST_F(FrmUni3, AcceptWithoutEditsAsksNothingAndEnablesInput) {
    openSample();
    const std::string before = bytesOf(app.path("User/Cirk5_Class2.stbd"));
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_TRUE(win->frame(2)->isVisible());
    EXPECT_FALSE(win->frame(1)->isVisible());
    button("cmdInput4")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(bytesOf(app.path("User/Cirk5_Class2.stbd")), before);
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "Cirk5_Class2.stbd");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
}

TEST_F(FrmUni3, EditedFieldsAreSavedAndReadBack) {
    openSample();
    field("txtGama")->setText("3.5");
    win->tabStrip()->setCurrentIndex(1);
    field("txtNdel")->setText("25");
    EXPECT_TRUE(win->edited());
    host.ui.saveFiles.push_back(app.path("User/edited"));
    button("cmdInput4")->click();
    ASSERT_EQ(host.ui.dialogs.size(), 2u);
    EXPECT_TRUE(host.ui.dialogs[1].save);
    ASSERT_TRUE(app.exists("User/edited.stbd"));
    EXPECT_EQ(core().dataPath, app.path("User/edited.stbd"));
    EXPECT_EQ(host.shell().status2, "edited.stbd");
    EXPECT_FALSE(win->isVisible());
    // The header lines come back as read.
    const std::string saved = cp1251ToUtf8(bytesOf(app.path("User/edited.stbd")));
    EXPECT_EQ(saved.rfind(" Модель класса 2: пять элементов", 0), 0u);
    mdl.reset();
    readBack(app.path("User/edited.stbd"));
    const auto& g = mdl;
    EXPECT_EQ(g.MCLASS, 2);
    EXPECT_EQ(g.NDIM, 5);
    EXPECT_EQ(g.KMOD, 3);
    EXPECT_EQ(g.GAMA, 3.5);
    EXPECT_EQ(g.Amax, 12);
    EXPECT_EQ(g.Umax, 1.5);
    EXPECT_EQ(g.NDEL, 25);
}

TEST_F(FrmUni3, TextThatIsNotANumberIsRefusedAndTheWindowStaysOpen) {
    openSample();
    field("txtNdel")->setText("много");
    host.ui.saveFiles.push_back(app.path("User/bad.stbd"));
    button("cmdInput4")->click();
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Недопустимое значение  NDEL = много");
    EXPECT_FALSE(app.exists("User/bad.stbd"));
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(field("txtNdel")->text().toStdString(), "много");
}

TEST_F(FrmUni3, CancelAfterEditsKeepsTheFileAndReopeningShowsItsValues) {
    openSample();
    field("txtBeta")->setText("9");
    button("cmdCancel4")->click();
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "");
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    openSample();
    EXPECT_EQ(field("txtBeta")->text().toStdString(), "1");
    button("cmdHelp4")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
}

}  // namespace
