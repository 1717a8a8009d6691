// The input window of section 7 (stationary solutions of M(NDIM,NDIM)) driven as the user drives it: open,
// edit, switch sheets, "Ввод", "Отмена", with a scripted prompter and a real shell.
#include "stationary/section7/frmUni_7.h"
#include "support/form_test_host.h"

using namespace velta;
using velta::test::bytesOf;
namespace fs = std::filesystem;

namespace {

class FrmUni7 : public test::FormTest<frmUni_7> {
protected:
    FrmUni7() : FormTest(7, &frmUni_7::IshDanStR, {"StaResh5_LL2.stRd"}) {}
};

TEST_F(FrmUni7, OpenFillsEveryFieldAndShowsSheetOne) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.stRd)|*.stRd|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.user()));
    const std::pair<const char*, const char*> expected[] = {
        {"txtNdim", "5"},   {"txtBeta", "1"},   {"txtGama", "4"},    {"txtLL", "2"},
        {"txtSmax", "5"},   {"txtSH", "0.001"}, {"txtHmax", "0.01"}, {"txtDelta", "1"},
        {"txtALmax", "60"}, {"txtDRX", "1"},    {"txtDRY", "0.05"}};
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(), "Стационарные решения   ");
    EXPECT_EQ(win->objectName().toStdString(), "frmUni_7");
    EXPECT_EQ(win->sheetCount(), 4);
    EXPECT_TRUE(win->frame(1)->isVisible());
    for (int i = 2; i <= 4; ++i) EXPECT_FALSE(win->frame(i)->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_EQ(core().shownName, "StaResh5_LL2.stRd");
    for (const char* b : {"cmdInput4", "cmdCancel4", "cmdHelp4"}) EXPECT_NE(button(b), nullptr) << b;
}

TEST_F(FrmUni7, SheetsCarryTheirLabelsUnclippedInsideTheFrames) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели  M(NDIM,NDIM) класса 1", "NDIM =", "BETA =", "GAMA =",
         "LL - число компонент в 1-й группе частично-симметричного решения, LL <=[NDIM/2],"},
        {"2) Отрезок 0 <= s <= Smax,", "    содержащий область положительности g(s),",
         "Smax =", "Шаг по s,  SH =", "Hmax =", "Ограничение на табличные приращения ALFA и U1,  DELTA ="},
        {"3) Правая граница отрезка по ALFA,                          ALmax ="},
        {"4) Границы интервалов для графики (в долях ALmax):", "DRX =", "DRY ="}};
    const std::vector<std::vector<const char*>> fields = {{"txtNdim", "txtBeta", "txtGama", "txtLL"},
                                                          {"txtSmax", "txtSH", "txtHmax", "txtDelta"},
                                                          {"txtALmax"},
                                                          {"txtDRX", "txtDRY"}};
    openSample();
    for (int sheet = 1; sheet <= 4; ++sheet) {
        win->tabStrip()->setCurrentIndex(sheet - 1);
        EXPECT_TRUE(win->frame(sheet)->isVisible());
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
            win->grab().save(QString::fromUtf8(dir) + QStringLiteral("/frmUni_7_sheet%1.png").arg(sheet));
    }
}

TEST_F(FrmUni7, AcceptWithoutEditsAsksNothingAndEnablesInput) {
    openSample();
    const std::string before = bytesOf(app.path("User/StaResh5_LL2.stRd"));
    win->tabStrip()->setCurrentIndex(3);
    button("cmdInput4")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(bytesOf(app.path("User/StaResh5_LL2.stRd")), before);
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "StaResh5_LL2.stRd");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
}

TEST_F(FrmUni7, EditedFieldsOnEverySheetAreSavedAndReadBack) {
    openSample();
    field("txtLL")->setText("1");
    win->tabStrip()->setCurrentIndex(1);
    field("txtDelta")->setText("0.5");
    win->tabStrip()->setCurrentIndex(2);
    field("txtALmax")->setText("40");
    win->tabStrip()->setCurrentIndex(3);
    field("txtDRY")->setText("0.1");
    host.ui.saveFiles.push_back(app.path("User/edited"));
    button("cmdInput4")->click();
    ASSERT_EQ(host.ui.dialogs.size(), 2u);
    EXPECT_EQ(host.ui.dialogs[1].filter, "Файлы данных (*.stRd)|*.stRd|");
    ASSERT_TRUE(app.exists("User/edited.stRd"));
    EXPECT_EQ(host.shell().status2, "edited.stRd");
    const std::string saved = cp1251ToUtf8(bytesOf(app.path("User/edited.stRd")));
    EXPECT_EQ(saved.rfind(" Модель M(5,5) класса 1 с сильной нелинейностью (GAMA = 4)\r\n", 0), 0u);
    mdl.reset();
    readBack(app.path("User/edited.stRd"));
    const auto& g = mdl;
    EXPECT_EQ(g.NDIM, 5);
    EXPECT_EQ(g.GAMA, 4);
    EXPECT_EQ(g.LL, 1);
    EXPECT_EQ(g.SH, 0.001);
    EXPECT_EQ(g.Delta, 0.5);
    EXPECT_EQ(g.ALmax, 40);
    EXPECT_EQ(g.DRY, 0.1);
    EXPECT_DOUBLE_EQ(g.SCRY, 4);
    EXPECT_EQ(g.SCRX, 40);
}

TEST_F(FrmUni7, TextThatIsNotANumberIsRefusedAndTheWindowStaysOpen) {
    openSample();
    field("txtSH")->setText("0,01");
    host.ui.saveFiles.push_back(app.path("User/bad.stRd"));
    button("cmdInput4")->click();
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Недопустимое значение  SH = 0,01");
    EXPECT_FALSE(app.exists("User/bad.stRd"));
    EXPECT_TRUE(win->isVisible());
}

TEST_F(FrmUni7, CancelAfterEditsKeepsTheFileAndReopeningShowsItsValues) {
    openSample();
    field("txtNdim")->setText("7");
    button("cmdCancel4")->click();
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    openSample();
    EXPECT_EQ(field("txtNdim")->text().toStdString(), "5");
    EXPECT_FALSE(win->edited());
}

}  // namespace
