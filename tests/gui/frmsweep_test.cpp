// "Серия расчётов…": the dialog runs velta-sweep on the local cores with its progress bar,
// stops on request keeping the finished points, and puts the heat map on the canvas.
#include "app/qt/frmsweep.h"
#include "app/qt/helpviewer.h"
#include "app/qt/mainwindow.h"
#include "data/store.h"
#include "graphics/qt/qimagesurface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace velta;

namespace {

class SweepDialog : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        std::ifstream in(std::string(VELTA_SOURCE_DIR) + "/User/Sym_Oscill.mnkd", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        app.write("User/Run.mnkd", s.str());
        w = std::make_unique<MainWindow>(mdl, app.root());
        w->setPrompter(&ui);
        w->findChild<QAction*>("mnuSymAUto")->trigger();
        dlg = std::make_unique<FrmSweep>(*w, 11, app.user() + "/Run.mnkd", "");
        dlg->out->setText(QString::fromStdString(app.path("series")));
    }
    void TearDown() override {
        dlg.reset();
        w.reset();
        HelpViewer::closeAll();
    }
    void axis(int r, const char* key, const char* from, const char* to, int n) {
        dlg->axes[r].use->setChecked(true);
        dlg->axes[r].key->setCurrentText(key);
        dlg->axes[r].from->setText(from);
        dlg->axes[r].to->setText(to);
        dlg->axes[r].count->setValue(n);
    }
    int rowsOfTable() {
        QFile f(QString::fromStdString(app.path("series/sweep.csv")));
        return f.open(QIODevice::ReadOnly) ? static_cast<int>(f.readAll().count('\n')) - 1 : -1;
    }
    test::TempApp app;
    test::ScriptedPrompter ui;
    std::unique_ptr<MainWindow> w;
    std::unique_ptr<FrmSweep> dlg;
};

}  // namespace

TEST_F(SweepDialog, MenuItemAndChoicesThatAreRefused) {
    QAction* item = w->findChild<QAction*>("mnuSweep");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Серия расчётов…");
    EXPECT_EQ(dlg->axes[0].key->currentText(), "ALFA");  // proposed with half to one and a half of it
    EXPECT_EQ(dlg->axes[0].from->text(), "10");
    EXPECT_EQ(dlg->axes[0].to->text(), "30");
    QString why;
    EXPECT_TRUE(dlg->arguments(why).contains("ALFA=10:30:20"));
    axis(1, "ALFA", "1", "2", 2);
    dlg->arguments(why);
    EXPECT_EQ(why, "Параметр ALFA выбран дважды");
    axis(1, "GAMA", "x", "2", 2);
    why.clear();
    dlg->arguments(why);
    EXPECT_EQ(why, "Границы параметра GAMA должны быть числами");
}

TEST_F(SweepDialog, RunsWithProgressAndShowsTheHeatMap) {
    axis(0, "ALFA", "10", "30", 3);
    axis(1, "GAMA", "1", "3", 2);
    QSignalSpy done(dlg.get(), &FrmSweep::sweepFinished);
    int progressSeen = 0;
    QObject::connect(dlg->progress, &QProgressBar::valueChanged,
                     [&](int v) { progressSeen = std::max(progressSeen, v); });
    dlg->startSweep();
    EXPECT_FALSE(dlg->start->isEnabled());
    EXPECT_TRUE(dlg->stop->isEnabled());
    ASSERT_TRUE(done.wait(120000));
    EXPECT_EQ(done.at(0).at(0).toInt(), 0) << dlg->status->text().toStdString();
    EXPECT_EQ(dlg->progress->maximum(), 6);
    EXPECT_EQ(progressSeen, 6);
    EXPECT_EQ(rowsOfTable(), 6);
    // The heat map is on the canvas: many coloured pixels.
    const QImage& canvas = w->surface().image();
    int coloured = 0;
    for (int y = 0; y < canvas.height(); y += 2)
        for (int x = 0; x < canvas.width(); x += 2) {
            const QRgb c = canvas.pixel(x, y);
            coloured += qRed(c) != qGreen(c) || qGreen(c) != qBlue(c);
        }
    EXPECT_GT(coloured, 10000);
    ASSERT_TRUE(dlg->table->isEnabled());
    dlg->openTable();
    EXPECT_TRUE(w->shell().textViewVisible);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SweepDialog, StopKeepsTheFinishedPoints) {
    axis(0, "ALFA", "1", "30", 400);
    QSignalSpy done(dlg.get(), &FrmSweep::sweepFinished);
    bool stopped = false;
    QObject::connect(dlg->progress, &QProgressBar::valueChanged, [&](int v) {
        if (v >= 2 && !stopped) {
            stopped = true;
            dlg->stopSweep();
        }
    });
    dlg->startSweep();
    ASSERT_TRUE(done.wait(120000));
    EXPECT_TRUE(stopped);
    EXPECT_NE(done.at(0).at(0).toInt(), 0);
    const int rows = rowsOfTable();
    EXPECT_GE(rows, 2);
    EXPECT_LT(rows, 400);
    EXPECT_TRUE(dlg->status->text().startsWith("Серия не завершена")) << dlg->status->text().toStdString();
    EXPECT_TRUE(dlg->start->isEnabled());
}
