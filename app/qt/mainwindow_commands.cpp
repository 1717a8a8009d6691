// The commands of the main window's menus and tool bar.
#include "app/prompter.h"
#include "app/qt/aboutbox.h"
#include "app/qt/canvaswidget.h"
#include "app/qt/examplesview.h"
#include "app/qt/helpviewer.h"
#include "app/qt/mainwindow.h"
#include "app/qt/qtprompter.h"
#include "app/qt/textview.h"
#include "data/error.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/qt/qimagesurface.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QMenu>
#include <QTimer>
#include <QUrl>

namespace velta {

namespace {

std::string trimTrailingSeparators(std::string s) {
    while (s.size() > 1 && (s.back() == '/' || s.back() == '\\')) s.pop_back();
    return s;
}

// Shown names use the package's separator, as in "\Results.mnk".
std::string packageSeparators(std::string s) {
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

}  // namespace

void MainWindow::selectSection(int code) { shell_.Sect_Select(code); }

void MainWindow::Combo1_Click(const QString& item) {
    shell_.Combo1_Click(item.toStdString());
    commandsChanged();
}

// "&Выбрать файл и открыть таблицы": the section window's open procedure.
void MainWindow::mnuTable_Click() {
    if (!shell_.info) return;
    shell_.enable(Cmd::Open, false);
    shell_.enable(Cmd::Input, false);
    shell_.enable(Cmd::Integr, false);
    commandsChanged();
    if (SectionWindow* w = sectionWindow(shell_.section)) {
        try {
            w->open();
        } catch (const std::exception& e) {
            prompter().message(e.what(), MsgIcon::Critical);
        }
    } else {
        prompter().message(Shell::notBuiltMessage(*shell_.info), MsgIcon::Exclamation);
    }
    shell_.enable(Cmd::Open, true);
    shell_.enable(Cmd::VarPar, false);
}

// "&Открыть файл": any text file of the working folder in the view.
void MainWindow::mnuOpen_Click() {
    if (!shell_.info) return;
    const SectionInfo& s = *shell_.info;
    const std::string folder = trimTrailingSeparators(shell_.dataFolder());
    const std::string filter = s.dataFilter + s.resultsFilter + "Файлы контроля (*.chk)|*.chk|" +
                               "Текстовые файлы (*.txt)|*.txt|" + "Все файлы (*.*)|*.*|";
    const std::string path = prompter().chooseOpenFile(folder, filter);
    if (path.empty()) return;
    // With a task folder the name is bare; otherwise it keeps its leading separator.
    const std::string shown = packageSeparators(store_.TASKDIR.empty() ? stripPrefix(path, folder)
                                                                       : stripPrefix(path, folder + "/"));
    std::vector<std::string> lines;
    try {
        lines = readAllLines(path);
    } catch (const std::exception&) {
        return;  // an unreadable file ends the command silently
    }
    text_->showLines(lines, TextView::kOpenedBack, TextView::Kind::Opened);
    shell_.textViewVisible = true;
    if (s.hasDataFile()) shell_.enable(Cmd::Input, false);
    shell_.enable(Cmd::Integr, false);
    shell_.status2 = shown;
}

// "&Закрыть текст. (граф.) окно": hides the view and the picture.
void MainWindow::mnuClose_Click() {
    shell_.textViewVisible = false;
    canvas_->hide();
    shell_.enable(Cmd::Turn, false);
}

void MainWindow::mnuInput_Click() {
    Ctx ctx{*surface_, prompter(), paths_, store_};
    const bool ok = shell_.mnuInput(ctx);
    // Without a data file (section 4) the reading has prepared the tables; its window shows them.
    if (ok && !shell_.info->hasDataFile())
        if (SectionWindow* w = sectionWindow(shell_.section)) w->open();
    commandsChanged();
    canvas_->update();
}

// "С&чёт [и графика]": the computation runs here, inside the command; the surface lets
// the window repaint and handle events, and "Стоп" (or Esc, confirmed) ends it.
void MainWindow::mnuIntegr_Click() {
    if (running_) return;
    running_ = true;
    stopRequested_ = false;
    closeAfterRun_ = false;
    shell_.welcomeVisible = false;
    shell_.textViewVisible = false;
    dialogs_->clearNote();
    // The strip between the plot panel and the side panel takes the background colour.
    surface_->fillBox(562, 76, 572, 545, QBColor(shell_.whiteBackground ? 15 : 0));
    canvas_->show();
    commandsChanged();
    surface_->onPoll = [this] {
        // Only what the run drew since the last repaint.
        const QRect changed = surface_->takeChanged();
        if (!changed.isEmpty()) canvas_->update(changed.translated(-canvas_->area().topLeft()));
        QCoreApplication::processEvents();
        if (stopRequested_) {
            stopRequested_ = false;
            throw RunStopped();
        }
    };
    Ctx ctx{*surface_, prompter(), paths_, store_};
    bool ok = false;
    try {
        ok = shell_.mnuIntegr(ctx);
    } catch (...) {
        surface_->onPoll = nullptr;
        running_ = false;
        throw;
    }
    surface_->onPoll = nullptr;
    running_ = false;
    commandsChanged();  // panel 1 back to the caption
    canvas_->update();
    // A section that reports in the text view (section 4): its window is hidden and its
    // results file ("Results.sty") is shown on light green.
    if (ok && shell_.info->traits.textReport) {
        if (SectionWindow* w = sectionWindow(shell_.section)) w->widget()->hide();
        try {
            text_->showLines(readAllLines(shell_.resultsPath()), TextView::kBankBack, TextView::Kind::Result);
            text_->setReadOnly(true);
            shell_.textViewVisible = true;
        } catch (const std::exception& e) {
            prompter().message(e.what(), MsgIcon::Critical);
        }
        commandsChanged();
    }
    if (closeAfterRun_) QTimer::singleShot(0, this, [this] { close(); });
}

bool MainWindow::showResultFile(const std::string& path, bool readOnly) {
    if (path.empty()) return false;  // the section has no such file
    if (!fileExists(path)) {
        prompter().message("Файл " + path + " не найден", MsgIcon::Exclamation);
        return false;
    }
    std::vector<std::string> lines;
    try {
        lines = readAllLines(path);
    } catch (const std::exception& e) {
        prompter().message(e.what(), MsgIcon::Critical);
        return false;
    }
    text_->showLines(lines, TextView::kResultBack, TextView::Kind::Result);
    if (readOnly) text_->setReadOnly(true);
    shell_.textViewVisible = true;
    return true;
}

void MainWindow::mnuOpenResl_Click() { showResultFile(shell_.resultsPath(), true); }
void MainWindow::mnuOpenQsolv_Click() { showResultFile(shell_.qsolvPath(), false); }
void MainWindow::mnuOpenSpct_Click() { showResultFile(shell_.spectrPath(), false); }
void MainWindow::mnuOpenStabl_Click() { showResultFile(shell_.stablPath(), true); }

void MainWindow::mnuDelF_Click() {
    shell_.mnuDelF();
    commandsChanged();
    prompter().message("Файлы удалены", MsgIcon::Information);
}

// "&Обновить окно": back to the start state; the section stays recorded.
void MainWindow::mnuRefresh_Click() {
    shell_.mnuRefresh();
    surface_->clear();
    canvas_->hide();
    canvas_->update();
}

// Model formulation (suffix "") and data bank ("_Банк") of the current section.
void MainWindow::showBankText(const std::string& suffix) {
    if (!shell_.info) return;
    const std::string path = paths_.resolve("\\User\\Z_Bank" + shell_.info->folderName + suffix + ".txt");
    if (!fileExists(path)) {
        prompter().message("Файл " + path + " не найден", MsgIcon::Exclamation);
        return;
    }
    std::vector<std::string> lines;
    try {
        lines = readAllLines(path);
    } catch (const std::exception& e) {
        prompter().message(e.what(), MsgIcon::Critical);
        return;
    }
    text_->savePath = path;
    shell_.welcomeVisible = false;
    text_->showLines(lines, TextView::kBankBack, TextView::Kind::Bank);
    text_->setReadOnly(false);
    shell_.textViewVisible = true;
}

void MainWindow::mnuFormMod_Click() { showBankText(""); }
void MainWindow::mnuBankDan_Click() { showBankText("_Банк"); }

// Saving the view: only a model-formulation or data-bank text is written back.
void MainWindow::rtbText1_MouseDown(QPoint globalPos) {
    if (text_->kind() != TextView::Kind::Bank || text_->savePath.empty() || !shell_.textViewVisible) return;
    try {
        auto w = TextWriter::replace(text_->savePath);  // a failed save keeps the old text
        for (const auto& line : text_->lines()) w->line(line);
        w->close();
    } catch (const std::exception& e) {
        prompter().message(e.what(), MsgIcon::Critical);
        return;
    }
    formBank_->popup(globalPos);
}

// "&Примеры задач": the examples document in the desktop's word processor; where there is
// none, the same examples inside the package: the help file's pages of them, or the
// document's own text in the help viewer.
void MainWindow::mnuPriZad_Click() {
    const std::string path = paths_.userFile("VELTA_D.doc");
    const QString doc = QString::fromStdString(path);
    const bool haveDoc = fileExists(path);
    if (haveDoc) {
        const QString program = wordProcessorFor(doc);
        if (!program.isEmpty() && openInWordProcessor(program, doc)) return;
    }
    if (const std::int32_t wnd = HelpViewer::openExamples(QString::fromStdString(paths_.helpFile()))) {
        store_.HELPWND = wnd;
        return;
    }
    QFile file(doc);
    const QString html = haveDoc && file.open(QIODevice::ReadOnly)
                             ? examplesHtml(file.readAll().toStdString())
                             : QString();
    if (!html.isEmpty()) {
        store_.HELPWND = HelpViewer::openDocument("Примеры задач", html);
        return;
    }
    prompter().message(haveDoc ? "Не найдена программа для просмотра документа VELTA_D.doc"
                               : "Документ VELTA_D.doc не найден",
                       MsgIcon::Exclamation);
}

void MainWindow::mnuFonBel_Click() { shell_.whiteBackground = true; }
void MainWindow::mnuFonCher_Click() { shell_.whiteBackground = false; }

void MainWindow::mnuHelp_Topics_Click() { showHelp(0); }

void MainWindow::mnuAbout_Click() {
    if (!about_) about_ = new AboutBox(QString::fromStdString(paths_.user()), this);
    about_->show();
    about_->raise();
}

void MainWindow::mnuExit_Click() { close(); }

}  // namespace velta
