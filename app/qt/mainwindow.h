// The main window frmUni_00: menus, tool bar, status bar, text view and canvas over the
// shell. Every command is thin: it asks the shell and then mirrors the shell's command
// state into the menus, buttons, status panels and the task-folder combo box.
#pragma once
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/paths.h"
#include "data/store.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QImage;
class QLabel;
class QMenu;
class QProgressBar;
class QTimer;
class QToolBar;
class QToolButton;

namespace velta {

class AboutBox;
class CanvasWidget;
class QImageSurface;
class QtPrompter;
class TextView;
class VarParDialogs;
class Picture3DCommands;

class MainWindow : public QMainWindow, public FormHost {
    Q_OBJECT
public:
    // store: the parameters every command and window works on (the program's one store).
    // packageDir: folder of Help3.chm when the package works in a per-user folder.
    MainWindow(Store& store, const std::string& appRoot, QWidget* parent = nullptr,
               const std::string& packageDir = {});
    ~MainWindow() override;

    // ---- FormHost
    Shell& shell() override { return shell_; }
    const AppPaths& paths() override { return paths_; }
    Prompter& prompter() override;
    Store& store() override { return store_; }
    void commandsChanged() override;
    void showHelp(int topic) override;
    QWidget* mainWidget() override { return this; }

    // Questions and messages go to `p` from now on (tests answer them this way);
    // nullptr gives back the window's own dialogs.
    void setPrompter(Prompter* p) { prompter_ = p; }
    QtPrompter& dialogs() { return *dialogs_; }
    QImageSurface& surface() { return *surface_; }
    // Replaces the action of a command named by its object name ("mnuVarPar",
    // "mnu3DKart", "mnuSpectr", "Right", ...): the dialogs and pictures that live
    // elsewhere plug in here. The command state is mirrored after it ran.
    void setCommand(const QString& name, std::function<void()> action);
    // Runs a command by its object name, as its menu item or button does.
    void runCommand(const QString& name);
    // Shows the canvas with what was drawn on the surface.
    void canvasChanged();
    // The section's input window, created on first use; nullptr when not built.
    SectionWindow* sectionWindow(int code);

    bool running() const { return running_; }
    // Ends the running computation at its next poll (the "Стоп" button and Esc).
    void requestStop() { stopRequested_ = true; }
    QString statusPanel(int index) const;  // 1..4

    // ---- commands of the menus and buttons
    void selectSection(int code);
    void Combo1_Click(const QString& item);
    void mnuTable_Click();
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuInput_Click();
    void mnuIntegr_Click();
    void mnuOpenResl_Click();
    void mnuOpenQsolv_Click();
    void mnuOpenSpct_Click();
    void mnuOpenStabl_Click();
    void mnuDelF_Click();
    void mnuRefresh_Click();
    void mnuFormMod_Click();
    void mnuBankDan_Click();
    void mnuPriZad_Click();
    void mnuFonBel_Click();
    void mnuFonCher_Click();
    void mnuHelp_Topics_Click();
    void mnuAbout_Click();
    void mnuExit_Click();
    // "Серия расчётов…" (frmsweep.cpp): the series dialog, its picture on the canvas and its
    // table (UTF-8) in the text view.
    void mnuSweep_Click();
    void showPicture(const QImage& picture);
    bool showUtf8File(const std::string& path);
    // Right click in the text view: saves a model-formulation or data-bank text.
    void rtbText1_MouseDown(QPoint globalPos);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildMenus();
    void buildToolBar(QWidget* client);
    void buildStatusBar();
    void buildClient(QWidget* client);
    void tick();
    // A file of the working folder in the text view; false when it is missing
    // (message shown; the view stays as it was).
    bool showResultFile(const std::string& path, bool readOnly);
    void showBankText(const std::string& suffix);
    void setEnabledByName(const QString& name, bool on);

    Store& store_;
    AppPaths paths_;
    Shell shell_;
    std::unique_ptr<QImageSurface> surface_;
    std::unique_ptr<QtPrompter> dialogs_;
    Prompter* prompter_ = nullptr;

    std::map<QString, std::function<void()>> commands_;
    std::map<QString, QAction*> actions_;      // menu items and drop-down items by name
    std::map<QString, QToolButton*> buttons_;  // tool-bar buttons by key
    std::map<int, std::unique_ptr<SectionWindow>> windows_;
    std::unique_ptr<VarParDialogs> varpar_;         // the variation dialogs
    std::unique_ptr<Picture3DCommands> picture3d_;  // the 3D picture, its dialog and turning

    QToolBar* toolbar_ = nullptr;
    QComboBox* combo_ = nullptr;
    QLabel* panels_[4] = {};
    QProgressBar* prbPhas_ = nullptr;
    QFrame* welcome_ = nullptr;
    TextView* text_ = nullptr;
    CanvasWidget* canvas_ = nullptr;
    QMenu* formBank_ = nullptr;
    QAction* stop_ = nullptr;
    QTimer* clock_ = nullptr;
    QPointer<AboutBox> about_;

    bool running_ = false;
    bool stopRequested_ = false;
    bool closeAfterRun_ = false;
};

}  // namespace velta
