// The input windows under test: a FormHost double with a real Shell over a temporary
// application folder and a scripted prompter, a fixture that builds one window on it with
// helpers to open a sample, find widgets, click and type into fields and grids, save and
// read back, and the checks every window's sheets pass (labels present, readable, inside
// their frame, none over another); and a fixture over the whole main window
// (MainWindowTest). Window tests only: it needs Qt.
//
//   class FrmUni8 : public test::FormTest<frmUni_8> {
//   protected:
//       FrmUni8() : FormTest(8, &frmUni_8::IshDanEco, {"Logist.gsed"}) {}
//   };
//   TEST_F(FrmUni8, ...) { openSample(); field("txtNsc")->setText("5"); save("User/x.gsed"); ... }
#pragma once
#include "app/qt/helpviewer.h"
#include "app/qt/mainwindow.h"
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/forms/sectionform.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "support/files.h"
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
#include <map>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace velta::test {

class FormTestHost : public FormHost {
public:
    // store: the parameters of the test that owns the host.
    FormTestHost(Store& store, const std::string& root)
        : store_(store), paths_(root), shell_(store, paths_) {}
    Shell& shell() override { return shell_; }
    const AppPaths& paths() override { return paths_; }
    Prompter& prompter() override { return ui; }
    Store& store() override { return store_; }
    void commandsChanged() override { ++changes; }
    void showHelp(int topic) override { helps.push_back(topic); }
    QWidget* mainWidget() override { return nullptr; }

    ScriptedPrompter ui;
    int changes = 0;         // commandsChanged calls
    std::vector<int> helps;  // topics asked for

private:
    Store& store_;
    AppPaths paths_;
    Shell shell_;
};

// A file of the shipped User folder.
inline std::filesystem::path shipped(const std::string& name) {
    return std::filesystem::path(VELTA_SOURCE_DIR) / "User" / name;
}

// The CR LF lines of Windows-1251 bytes, in UTF-8.
inline std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> v;
    std::string::size_type at = 0, eol;
    while ((eol = bytes.find("\r\n", at)) != std::string::npos) {
        v.push_back(cp1251ToUtf8(bytes.substr(at, eol - at)));
        at = eol + 2;
    }
    return v;
}

// The non-empty label texts of each sheet are labels[sheet - 1] in any order, and the
// fields fields[sheet - 1] stand on that sheet.
inline void checkSheetTexts(SectionForm& win, const std::vector<std::vector<const char*>>& labels,
                            const std::vector<std::vector<const char*>>& fields) {
    ASSERT_EQ(static_cast<int>(labels.size()), win.sheetCount());
    for (int sheet = 1; sheet <= win.sheetCount(); ++sheet) {
        const auto i = static_cast<std::size_t>(sheet - 1);
        std::vector<std::string> got, want;
        for (const QLabel* l : win.frame(sheet)->findChildren<QLabel*>())
            if (!l->text().isEmpty()) got.push_back(l->text().toStdString());
        for (const char* t : labels[i]) want.push_back(t);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "sheet " << sheet;
        if (i < fields.size()) {
            for (const char* name : fields[i])
                EXPECT_NE(win.frame(sheet)->findChild<QLineEdit*>(name), nullptr) << name;
        }
    }
}

// Each sheet shown in turn: every label readable (not clipped), every control inside its
// frame and none over another (a label takes the room of its text: right-aligned field
// labels are wider). With VELTA_SHOTS set, a picture of each sheet is saved there as
// shotName_N.png.
inline void checkSheetLayout(SectionForm& win, const std::string& shotName) {
    const auto ink = [](const QWidget* w) {
        const auto* l = qobject_cast<const QLabel*>(w);
        if (!l) return w->geometry();
        const int tw = l->fontMetrics().horizontalAdvance(l->text());
        const int th = l->fontMetrics().height();
        const int x = (l->alignment() & Qt::AlignRight) ? l->x() + l->width() - tw : l->x();
        return QRect(x, l->y() + (l->height() - th) / 2, tw, th);
    };
    const auto nameOf = [](const QWidget* w) {
        const auto* l = qobject_cast<const QLabel*>(w);
        return (l ? l->text() : w->objectName()).toStdString();
    };
    for (int sheet = 1; sheet <= win.sheetCount(); ++sheet) {
        win.tabStrip()->setCurrentIndex(sheet - 1);
        QFrame* f = win.frame(sheet);
        ASSERT_TRUE(f->isVisible()) << sheet;
        const QRect inside(QPoint(0, 0), f->size());
        std::vector<const QWidget*> controls;
        for (const QWidget* w : f->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (const auto* l = qobject_cast<const QLabel*>(w)) {
                if (l->text().isEmpty()) continue;
                EXPECT_GE(l->width(), l->sizeHint().width()) << nameOf(l);
            }
            EXPECT_TRUE(inside.contains(w->geometry())) << "sheet " << sheet << ": " << nameOf(w);
            controls.push_back(w);
        }
        for (std::size_t i = 0; i < controls.size(); ++i)
            for (std::size_t j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(ink(controls[i]).intersects(ink(controls[j])))
                    << "sheet " << sheet << ": '" << nameOf(controls[i]) << "' and '" << nameOf(controls[j])
                    << "'";
        if (const char* dir = std::getenv("VELTA_SHOTS")) {
            QApplication::processEvents();
            const QString name = QString::fromStdString(shotName) + QStringLiteral("_%1.png").arg(sheet);
            win.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name));
        }
    }
}

// One window of section code on a fresh application folder: the shipped samples copied
// into User, the section selected, the window built; Core is the type core() gives.
template <class Win, class Core = SectionCore>
class FormTest : public ::testing::Test {
protected:
    // open: the window's open procedure; sample: the file openSample opens by default
    // (the first shipped sample when empty).
    FormTest(int code, void (Win::*open)(), std::vector<std::string> shippedSamples, std::string sample = {})
        : code_(code),
          open_(open),
          shipped_(std::move(shippedSamples)),
          sample_(sample.empty() ? shipped_.at(0) : std::move(sample)) {}

    void SetUp() override {
        for (const std::string& name : shipped_)
            std::filesystem::copy_file(shipped(name), std::filesystem::path(app.user()) / name);
        host.shell().Sect_Select(code_);
        win = std::make_unique<Win>(host);
    }

    QLineEdit* field(const char* name) { return win->template findChild<QLineEdit*>(name); }
    FormGrid* grid(const char* name) { return win->template findChild<FormGrid*>(name); }
    QPushButton* button(const char* name) { return win->template findChild<QPushButton*>(name); }
    std::string text(const char* name) { return field(name)->text().toStdString(); }
    // The label of a sheet showing text, or nullptr.
    const QLabel* label(int sheet, const char* text) {
        for (const QLabel* l : win->frame(sheet)->template findChildren<QLabel*>())
            if (l->text() == QString::fromUtf8(text)) return l;
        return nullptr;
    }
    Core& core() { return dynamic_cast<Core&>(*host.shell().core(code_)); }
    // The path of the default sample below the application folder.
    std::string samplePath() const { return app.path("User/" + sample_); }

    // The open procedure with the dialog answering rel (the default sample when empty).
    void openSample(const std::string& rel = {}) {
        host.ui.openFiles.push_back(rel.empty() ? samplePath() : app.path(rel));
        ((*win).*open_)();
    }
    // "Ввод" with the save dialog answering rel.
    void save(const std::string& rel) {
        host.ui.saveFiles.push_back(app.path(rel));
        button("cmdINput1")->click();
    }
    // A click into cell (r, c), scrolled into view first.
    void clickCell(FormGrid* g, int r, int c) {
        g->scrollToItem(g->item(r, c));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(r, c)).center());
    }
    // Types into a field as the user does: click, select everything, type the new text.
    void typeInto(const char* name, const char* s) {
        QLineEdit* e = field(name);
        QTest::mouseClick(e, Qt::LeftButton);
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(e, s);
    }
    // Reads a data file through the section's own reader into a fresh store.
    void readBack(const std::string& path) {
        mdl.reset();
        core().dataPath = path;
        NullSurface surf;
        Ctx ctx{surf, host.ui, host.paths(), mdl};
        core().InputPar(ctx);
    }
    // The file names in User, sorted.
    std::vector<std::string> userFiles() const {
        std::vector<std::string> v;
        for (const auto& e : std::filesystem::directory_iterator(app.user()))
            v.push_back(e.path().filename().string());
        std::sort(v.begin(), v.end());
        return v;
    }

    // ---- checks several windows share

    // After openSample(): the open dialog asked once for filter in User, and the window
    // shows sheet 1 of its sheets, unedited, with the sample current and the check file
    // written.
    void checkOpened(const std::string& filter, const std::string& title, int sheets) {
        ASSERT_EQ(host.ui.dialogs.size(), 1u);
        EXPECT_FALSE(host.ui.dialogs[0].save);
        EXPECT_EQ(host.ui.dialogs[0].filter, filter);
        EXPECT_EQ(std::filesystem::path(host.ui.dialogs[0].folder), std::filesystem::path(app.user()));
        ASSERT_TRUE(win->isVisible());
        EXPECT_EQ(win->windowTitle().toStdString(), title);
        EXPECT_EQ(win->sheetCount(), sheets);
        ASSERT_EQ(win->tabStrip()->count(), sheets);
        EXPECT_EQ(win->tabStrip()->tabText(sheets - 1).toStdString(), "Лист #" + std::to_string(sheets));
        EXPECT_EQ(win->tabStrip()->currentIndex(), 0);
        EXPECT_TRUE(win->frame(1)->isVisible());
        for (int i = 2; i <= sheets; ++i) EXPECT_FALSE(win->frame(i)->isVisible()) << i;
        EXPECT_FALSE(win->edited());
        EXPECT_FALSE(win->dimensionChanged());
        EXPECT_EQ(core().dataPath, samplePath());
        EXPECT_EQ(core().shownName, sample_);
        EXPECT_TRUE(app.exists("User/Input.chk"));
    }

    // After openSample(): "Ввод" without an edit asks for no file and writes nothing; the
    // window closes with the sample current.
    void checkAcceptWithoutEdits() {
        const std::string before = bytesOf(samplePath());
        const auto files = userFiles();
        host.ui.saveFiles.push_back(app.path("User/never"));
        button("cmdINput1")->click();
        EXPECT_EQ(host.ui.dialogs.size(), 1u);  // the open dialog only
        EXPECT_EQ(host.ui.saveFiles.size(), 1u);
        host.ui.saveFiles.clear();  // the answer not asked for
        EXPECT_EQ(bytesOf(samplePath()), before);
        EXPECT_EQ(userFiles(), files);
        EXPECT_FALSE(win->isVisible());
        EXPECT_EQ(host.shell().status2, sample_);
        EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
        EXPECT_GE(host.changes, 1);
        EXPECT_EQ(core().dataPath, samplePath());
    }

    // The fields show the texts of expected, but those that changed names anew.
    void checkFieldTexts(std::span<const std::pair<const char*, const char*>> expected,
                         const std::map<std::string, std::string>& changed = {}) {
        for (const auto& [name, value] : expected) {
            ASSERT_NE(field(name), nullptr) << name;
            const auto c = changed.find(name);
            EXPECT_EQ(text(name), c == changed.end() ? std::string(value) : c->second) << name;
        }
    }

    // After save(): the save dialog, the dialogs-th dialog, asked for filter, and the file
    // rel was written and became current; the window closed.
    void checkSavedAs(const std::string& rel, const std::string& filter, std::size_t dialogs = 2) {
        ASSERT_EQ(host.ui.dialogs.size(), dialogs);
        EXPECT_TRUE(host.ui.dialogs.back().save);
        EXPECT_EQ(host.ui.dialogs.back().filter, filter);
        ASSERT_TRUE(app.exists(rel));
        EXPECT_EQ(mdl.SaveOK, 1);
        EXPECT_EQ(core().dataPath, app.path(rel));
        EXPECT_EQ(host.shell().status2, std::filesystem::path(rel).filename().string());
        EXPECT_FALSE(win->isVisible());
    }

    // The file rel is the sample line for line, but the lines of changes (old text, new).
    void expectOnlyLinesChanged(const std::string& rel, const std::map<std::string, std::string>& changes) {
        std::vector<std::string> want = linesOf(bytesOf(samplePath()));
        const std::vector<std::string> got = linesOf(bytesOf(app.path(rel)));
        ASSERT_EQ(got.size(), want.size());
        for (auto& l : want)
            if (const auto c = changes.find(l); c != changes.end()) l = c->second;
        EXPECT_EQ(got, want);
    }

    // After edits: the save dialog answers Cancel, so nothing is written and the sample
    // stays current.
    void checkSaveCancelled() {
        mdl.SaveOK = 1;
        const auto files = userFiles();
        button("cmdINput1")->click();
        EXPECT_EQ(host.ui.dialogs.size(), 2u);
        EXPECT_EQ(mdl.SaveOK, 0);
        EXPECT_EQ(userFiles(), files);
        EXPECT_EQ(core().dataPath, samplePath());
        EXPECT_EQ(host.shell().status2, sample_);
        EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
    }

    // After edits: "Отмена" closes the window without a question and resets the status
    // panel and the results command; the sample opened again shows sheet 1 unedited.
    void cancelAndReopen() {
        host.shell().status2 = sample_;
        host.shell().enable(Cmd::OpenResl, true);
        button("cmdCancel1")->click();
        EXPECT_FALSE(win->isVisible());
        EXPECT_EQ(host.shell().status2, "");
        EXPECT_FALSE(host.shell().isEnabled(Cmd::OpenResl));
        EXPECT_EQ(host.ui.dialogs.size(), 1u);  // no save dialog
        openSample();
        EXPECT_TRUE(win->isVisible());
        EXPECT_EQ(win->tabStrip()->currentIndex(), 0);
        EXPECT_TRUE(win->frame(1)->isVisible());
        EXPECT_FALSE(win->edited());
    }

    // After the sample was opened and accepted: a file whose reading fails shows no window
    // but a message naming the file, and the sample stays current.
    void checkFailedReading(const std::string& rel) {
        host.ui.messages.clear();
        openSample(rel);
        EXPECT_FALSE(win->isVisible());
        ASSERT_EQ(host.ui.messages.size(), 1u);
        const std::string& m = host.ui.messages[0].text;
        EXPECT_EQ(m.rfind("Ошибка при вводе исходных данных.\n", 0), 0u) << m;
        EXPECT_NE(m.find(std::filesystem::path(rel).filename().string()), std::string::npos) << m;
        EXPECT_EQ(host.ui.messages[0].icon, MsgIcon::Critical);
        EXPECT_EQ(core().dataPath, samplePath());
    }

    // Every click into txtNdim shows the reminder; a click changes nothing, and a click
    // into the field other shows no reminder.
    void checkReminder(const char* other, const std::string& reminder) {
        openSample();
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(field("txtNdim"), Qt::LeftButton);
            QApplication::processEvents();
        }
        ASSERT_EQ(host.ui.messages.size(), 2u);
        for (const auto& msg : host.ui.messages) {
            EXPECT_EQ(msg.text, reminder);
            EXPECT_EQ(msg.title, "   VELTA");
        }
        EXPECT_FALSE(win->edited());
        QTest::mouseClick(field(other), Qt::LeftButton);
        QApplication::processEvents();
        EXPECT_EQ(host.ui.messages.size(), 2u);
        EXPECT_FALSE(win->edited());
    }

    // "Справка" opens topic 1002 and leaves the window open; the registry builds this
    // window for the section.
    void checkHelpAndRegistry() {
        openSample();
        button("cmdHelp1")->click();
        EXPECT_EQ(host.helps, std::vector<int>{1002});
        EXPECT_TRUE(win->isVisible());
        auto w = makeSectionWindow(code_, host);
        ASSERT_NE(w, nullptr);
        EXPECT_NE(dynamic_cast<Win*>(w.get()), nullptr);
    }

    // Opens every data file with the extension ext shipped in User, calls check(name)
    // while it is shown, and returns how many opened.
    int openEveryShipped(const std::string& ext, const std::function<void(const std::string&)>& check) {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(shipped(""))) {
            if (e.path().extension() != ext) continue;
            const std::string name = e.path().filename().string();
            std::filesystem::copy_file(e.path(), std::filesystem::path(app.user()) / name,
                                       std::filesystem::copy_options::overwrite_existing);
            openSample("User/" + name);
            if (!win->isVisible()) {
                ADD_FAILURE() << name << " did not open";
                return n;
            }
            check(name);
            win->cancel();
            ++n;
        }
        return n;
    }

    TempApp app;
    Store mdl;  // this test's own parameters
    FormTestHost host{mdl, app.root()};
    std::unique_ptr<Win> win;

private:
    const int code_;
    void (Win::*open_)();
    std::vector<std::string> shipped_;
    std::string sample_;
};

// The main window over a temporary application folder, every dialog answered by a
// scripted prompter, on the test's own store.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        w = std::make_unique<MainWindow>(mdl, app.root());
        w->setPrompter(&ui);
        w->show();
    }
    void TearDown() override {
        w.reset();
        HelpViewer::closeAll();
    }
    void trigger(const char* name) {
        auto* a = w->findChild<QAction*>(name);
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    // A section chosen by its menu item, the data file User/NAME (these bytes) opened and
    // accepted, then "&Ввод исходных данных".
    void enterData(const char* menu, int code, const std::string& name, const std::string& bytes) {
        app.write("User/" + name, bytes);
        trigger(menu);
        SectionCore* core = w->shell().core(code);
        ASSERT_NE(core, nullptr);
        core->dataPath = app.user() + "/" + name;
        w->shell().afterAccept(name);
        w->commandsChanged();
        trigger("mnuInput");
    }
    // The same from a shipped sample, saved as NAME (by default its own name), computed once.
    void computeSample(const char* menu, int code, const std::string& sample, const std::string& name = "") {
        enterData(menu, code, name.empty() ? sample : name, bytesOf(shipped(sample).string()));
        if (HasFatalFailure()) return;
        trigger("mnuIntegr");
        ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    }

    TempApp app;
    ScriptedPrompter ui;
    Store mdl;  // this test's own parameters
    std::unique_ptr<MainWindow> w;
};

}  // namespace velta::test
