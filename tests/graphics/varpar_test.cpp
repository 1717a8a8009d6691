#include "graphics/varpar.h"

#include "data/store.h"
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

using namespace velta;
using velta::test::ScriptedPrompter;

namespace {

class VarPar : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        Store& g = mdl;
        g.NDIM = 4;
        g.TMAX = 12;
        g.ALFA = 1.5;
        g.BETA = 0.25;
        g.GAMA = 3;
        g.DRX = 2;
        g.SCRX = 3;
        g.SCRT = 40;
        g.MCPZ = 2;
        g.RESEXT = "mnk";
        g.IC(1) = 1;
        g.IC(2) = 2;
        g.IC(3) = 3;
    }

    // "Ввод" with the shown texts, some of them replaced.
    VarParResult enter(VarDlg d, VarPlot plot, std::vector<std::pair<std::string, std::string>> edits = {},
                       std::string i12 = "1,2", std::string i123 = "1,2,3") {
        VarParInput in;
        in.texts = varParTexts(mdl, d);
        const auto& fields = varParFields(d);
        for (const auto& [name, text] : edits) {
            bool found = false;
            for (std::size_t i = 0; i < fields.size(); ++i)
                if (fields[i].name == name) {
                    in.texts[i] = text;
                    found = true;
                }
            EXPECT_TRUE(found) << name;
        }
        in.plot = plot;
        in.i1i2 = std::move(i12);
        in.i1i2i3 = std::move(i123);
        return varParAccept(mdl, d, in, ui);
    }
    void expectOneMessage(const std::string& text) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].title, "Варьирование параметров");
    }

    ScriptedPrompter ui;
};

TEST_F(VarPar, FieldsOfEachDialogAndTheirTexts) {
    auto labels = [](VarDlg d) {
        std::vector<std::string> out;
        for (const auto& f : varParFields(d)) out.push_back(f.label);
        return out;
    };
    EXPECT_EQ(
        labels(VarDlg::VarPar),
        (std::vector<std::string>{"TMAX =", "ALFA =", "BETA =", "GAMA =", " Масштаб DRX (в долях ALFA)"}));
    EXPECT_EQ(labels(VarDlg::VarPar9), (std::vector<std::string>{"TMAX =", "ALFA =", "GAMA =", "MCPZ ="}));
    EXPECT_EQ(labels(VarDlg::VarPar1),
              (std::vector<std::string>{"TMAX =", "ALFA =", "BETA =", "GAMA =", " Масштаб SCRX",
                                        "TAU1 =", "TAU2 =", "TETA =", "OMEG ="}));
    EXPECT_EQ(labels(VarDlg::VarPar2),
              (std::vector<std::string>{"TMAX =", "ALFA =", "TETA =", "BETA1,BETA2 =", "GAMA1,GAMA2 =",
                                        "TAU1,TAU2 =", " Масштаб DRX"}));

    EXPECT_EQ(varParTexts(mdl, VarDlg::VarPar), (std::vector<std::string>{"12", "1.5", "0.25", "3", "2"}));
    // Section 9 shows SCRT under "TMAX =".
    EXPECT_EQ(varParTexts(mdl, VarDlg::VarPar9), (std::vector<std::string>{"40", "1.5", "3", "2"}));
    mdl.BETA1 = 0.5;
    mdl.BETA2 = 1E-05;
    mdl.TAU1 = 1;
    mdl.TAU2 = 2.5;
    EXPECT_EQ(varParTexts(mdl, VarDlg::VarPar2)[3], "0.5,1E-05");
    EXPECT_EQ(varParTexts(mdl, VarDlg::VarPar2)[5], "1,2.5");
    EXPECT_EQ(varParI1I2(mdl), "1,2");
    EXPECT_EQ(varParI1I2I3(mdl), "1,2,3");
}

TEST_F(VarPar, ComponentNumbersAreCheckedBeforeAnythingChanges) {
    // "3 and 0": refused, and the edited TMAX is not taken either.
    EXPECT_FALSE(enter(VarDlg::VarPar, VarPlot::Plane, {{"txtTMAX", "50"}}, "3,0").accepted);
    expectOneMessage("Задайте 2 ненулевых номера");
    EXPECT_EQ(mdl.TMAX, 12);
    EXPECT_EQ(mdl.IC(1), 1);

    for (const char* bad : {"3", "", "x,2", "-1,2", "0.2,1"}) {
        ui.messages.clear();
        EXPECT_FALSE(enter(VarDlg::VarPar, VarPlot::Plane, {}, bad).accepted) << bad;
        expectOneMessage("Задайте 2 ненулевых номера");
    }

    ui.messages.clear();
    EXPECT_FALSE(enter(VarDlg::VarPar, VarPlot::Plane, {}, "2,5").accepted);
    expectOneMessage("Номер должен быть <= NDIM");
    EXPECT_EQ(mdl.IC(2), 2);

    ui.messages.clear();
    EXPECT_TRUE(enter(VarDlg::VarPar, VarPlot::Plane, {{"txtTMAX", "50"}}, " 4 , 3 ,9").accepted);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(mdl.IC(1), 4);
    EXPECT_EQ(mdl.IC(2), 3);
    EXPECT_EQ(mdl.IC(3), 3);  // the third piece is not read for a plane
    EXPECT_EQ(mdl.TMAX, 50);

    // The physical plane reads no component field at all.
    EXPECT_TRUE(enter(VarDlg::VarPar, VarPlot::Phys, {}, "0,0", "0").accepted);
    EXPECT_EQ(mdl.IC(1), 4);
}

TEST_F(VarPar, SpaceReadsThreeComponentsAndOnlyTheScale) {
    EXPECT_FALSE(enter(VarDlg::VarPar, VarPlot::Space, {}, "1,2", "1,2").accepted);
    expectOneMessage("Задайте 3 ненулевых номера");
    ui.messages.clear();
    EXPECT_FALSE(enter(VarDlg::VarPar, VarPlot::Space, {}, "1,2", "1,2,7").accepted);
    expectOneMessage("Номер должен быть <= NDIM");

    ui.messages.clear();
    const auto r = enter(VarDlg::VarPar, VarPlot::Space,
                         {{"txtTMAX", "99"}, {"txtALFA", "7"}, {"txtDRX", "4"}}, "9,9", "4,1,2");
    EXPECT_TRUE(r.accepted);
    EXPECT_TRUE(r.reload3D);
    EXPECT_EQ(mdl.TMAX, 12);  // disabled fields are not read
    EXPECT_EQ(mdl.ALFA, 1.5);
    EXPECT_EQ(mdl.DRX, 4);
    EXPECT_EQ(mdl.SCRX, 6);  // DRX in parts of ALFA
    EXPECT_EQ(mdl.IC(1), 4);
    EXPECT_EQ(mdl.IC(2), 1);
    EXPECT_EQ(mdl.IC(3), 2);
}

TEST_F(VarPar, WhatEachDialogWritesBack) {
    // frmVarPar: the four parameters and the scale; the 3D data are to be reloaded.
    auto r = enter(
        VarDlg::VarPar, VarPlot::Phys,
        {{"txtTMAX", "20"}, {"txtALFA", "2.5"}, {"txtBETA", "1E-3"}, {"txtGAMA", "-4"}, {"txtDRX", "0.5"}});
    EXPECT_TRUE(r.accepted && r.reload3D);
    EXPECT_EQ(mdl.TMAX, 20);
    EXPECT_EQ(mdl.ALFA, 2.5);
    EXPECT_EQ(mdl.BETA, 1E-3);
    EXPECT_EQ(mdl.GAMA, -4);
    EXPECT_EQ(mdl.SCRX, 1.25);

    // Chaotic results: the scale is not read and nothing is reloaded.
    mdl.RESEXT = "cha";
    r = enter(VarDlg::VarPar, VarPlot::Phys, {{"txtDRX", "8"}});
    EXPECT_TRUE(r.accepted);
    EXPECT_FALSE(r.reload3D);
    EXPECT_EQ(mdl.DRX, 0.5);
    EXPECT_EQ(mdl.SCRX, 1.25);

    // frmVarPar9: "TMAX =" is the end of the time axis; MCPZ is an integer.
    r = enter(VarDlg::VarPar9, VarPlot::Phys, {{"txtTMAX", "75"}, {"txtGAMA", "6"}, {"txtMCPZ", "3"}});
    EXPECT_TRUE(r.accepted);
    EXPECT_FALSE(r.reload3D);
    EXPECT_EQ(mdl.SCRT, 75);
    EXPECT_EQ(mdl.TMAX, 20);
    EXPECT_EQ(mdl.GAMA, 6);
    EXPECT_EQ(mdl.MCPZ, 3);

    // frmVarPar1: SCRX directly; the delays and rates are only shown.
    r = enter(VarDlg::VarPar1, VarPlot::Phys, {{"txtSCRX", "9"}, {"txtTAU1", "5"}, {"txtOMEG", "7"}});
    EXPECT_TRUE(r.accepted && r.reload3D);
    EXPECT_EQ(mdl.SCRX, 9);
    EXPECT_EQ(mdl.TAU1, 0);
    EXPECT_EQ(mdl.OMEG, 0);

    // frmVarPar2: pairs split at ","; SCRX from DRX and ALFA.
    r = enter(VarDlg::VarPar2, VarPlot::Plane,
              {{"txtTETA", "0.1"},
               {"txtBETA12", "1,2"},
               {"txtGAMA12", "3.5, 4"},
               {"txtTAU12", "0.5,0.25"},
               {"txtDRX", "2"}});
    EXPECT_TRUE(r.accepted && r.reload3D);
    EXPECT_EQ(mdl.TETA, 0.1);
    EXPECT_EQ(mdl.BETA1, 1);
    EXPECT_EQ(mdl.BETA2, 2);
    EXPECT_EQ(mdl.GAMA1, 3.5);
    EXPECT_EQ(mdl.GAMA2, 4);
    EXPECT_EQ(mdl.TAU1, 0.5);
    EXPECT_EQ(mdl.TAU2, 0.25);
    EXPECT_EQ(mdl.SCRX, 5);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(VarPar, BadNumbersAreRefusedWithTheirFieldAndChangeNothing) {
    EXPECT_FALSE(enter(VarDlg::VarPar, VarPlot::Phys, {{"txtTMAX", "30"}, {"txtALFA", "1,5"}}).accepted);
    expectOneMessage("Вы задали НЕ ЧИСЛО\nALFA = 1,5");
    EXPECT_EQ(mdl.TMAX, 12);

    ui.messages.clear();
    EXPECT_FALSE(enter(VarDlg::VarPar9, VarPlot::Phys, {{"txtMCPZ", "70000"}}).accepted);
    expectOneMessage("Вы задали НЕ ЧИСЛО\nMCPZ = 70000");
    EXPECT_EQ(mdl.MCPZ, 2);

    ui.messages.clear();
    EXPECT_FALSE(enter(VarDlg::VarPar2, VarPlot::Phys, {{"txtBETA12", "0.5"}}).accepted);
    expectOneMessage("Задайте 2 числа через запятую\nBETA1,BETA2 = 0.5");

    ui.messages.clear();
    EXPECT_FALSE(enter(VarDlg::VarPar2, VarPlot::Phys, {{"txtTAU12", "1,x"}}).accepted);
    expectOneMessage("Вы задали НЕ ЧИСЛО\nTAU1,TAU2 = 1,x");
}

TEST_F(VarPar, AnUntouchedFieldKeepsItsValueExactly) {
    mdl.TMAX = 0.1 + 0.2;  // shown as 0.3
    mdl.ALFA = 1.0 / 3.0;  // shown with 15 digits
    EXPECT_TRUE(enter(VarDlg::VarPar, VarPlot::Phys).accepted);
    EXPECT_EQ(mdl.TMAX, 0.1 + 0.2);
    EXPECT_EQ(mdl.ALFA, 1.0 / 3.0);
    EXPECT_EQ(mdl.SCRX, 2.0 / 3.0);
}

TEST_F(VarPar, Section3AsksUntilTwoNumbersAreGiven) {
    mdl.BETA = 0.5;
    mdl.GAMA = 2;
    ui.answers = {"", "", "abc", "1.25, 7"};
    varParSection3(mdl, ui);
    ASSERT_EQ(ui.inputs.size(), 4u);
    EXPECT_EQ(ui.inputs[0].prompt, "Введите  BETA, GAMA");
    EXPECT_EQ(ui.inputs[0].title, "   Варьирование параметров");
    EXPECT_EQ(ui.inputs[0].defaultText, "0.5,2");
    EXPECT_EQ(ui.inputs[3].defaultText, "abc");  // what was typed, to be mended
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "Вы ничего не ввели или выбрали  Cancel");
    EXPECT_EQ(ui.messages[0].title, "   Варьирование параметров");
    EXPECT_EQ(ui.messages[1].text, ui.messages[0].text);
    EXPECT_EQ(ui.messages[2].text, "Вы задали НЕ ЧИСЛО\nabc");
    EXPECT_EQ(mdl.BETA, 1.25);
    EXPECT_EQ(mdl.GAMA, 7);

    // Extra pieces are ignored; a single number is refused.
    ui = ScriptedPrompter{};
    ui.answers = {"3", "4,5,6"};
    varParSection3(mdl, ui);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(mdl.BETA, 4);
    EXPECT_EQ(mdl.GAMA, 5);
}

}  // namespace
