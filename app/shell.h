// The working state of the main window without the window: the current section, the
// command state of menus and tool bar, the task folders, and the commands that the menus
// run. The desktop window mirrors it; the headless runner drives it directly.
#pragma once
#include "data/catalogue.h"
#include "data/context.h"
#include "data/error.h"
#include "models/section.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velta {

// Commands switched by Menu_False (a menu item together with its tool-bar button or
// drop-down item), plus the task-folder combo box and the four turning buttons.
enum class Cmd {
    Table,
    FormMod,
    BankDan,
    Open,
    Input,
    Integr,
    VarPar,
    OpenResl,
    DelF,
    Spectr,
    OpenQsolv,
    OpenSpct,
    OpenStabl,
    Combo,
    Turn,
    Count
};

// Options of one variation dialog (frmVarPar, frmVarPar9, frmVarPar1, frmVarPar2),
// kept until the package closes; the dialogs show and change these.
struct VarParOptions {
    bool optPhys = true, optPhas = false, optPuan = false;
    bool optPYe = false, optPNo = true;
    bool optPhas3 = false, optPuan3 = false;
    bool chkTE = true, chkStereo = false;

    // The picture kinds are one exclusive group: `kind` on, the other four off.
    void choose(bool VarParOptions::*kind) {
        optPhys = optPhas = optPuan = optPhas3 = optPuan3 = false;
        this->*kind = true;
    }
};
enum class VarDlg { VarPar = 0, VarPar9 = 1, VarPar1 = 2, VarPar2 = 3 };

// The user's stop of a running computation ("Стоп", Esc), thrown from the surface's poll:
// not a failure; the rows written so far are kept.
inline const std::string kRunStopped = "Счёт прерван пользователем";
class RunStopped : public VeltaError {
public:
    RunStopped() : VeltaError(kRunStopped) {}
};

class Shell {
public:
    // The shell works on the front end's store.
    Shell(Store& store, const AppPaths& paths);

    // ---- state
    int section = 0;  // current section code, 0 before a selection
    const SectionInfo* info = nullptr;
    std::array<bool, static_cast<int>(Cmd::Count)> enabled{};
    bool whiteBackground = true;  // check mark of "&Белый"
    bool welcomeVisible = true;
    bool textViewVisible = false;
    std::vector<std::string> taskItems;  // items of the task-folder combo box
    std::string comboText = "Выбрать директорию задачи";
    std::string status1, status2;  // status panels 1 and 2
    std::array<VarParOptions, 4> varpar{};

    bool isEnabled(Cmd c) const { return enabled[static_cast<int>(c)]; }
    void enable(Cmd c, bool on) { enabled[static_cast<int>(c)] = on; }

    // The section's core, created on first use and kept until the package closes.
    SectionCore* core(int code);
    SectionCore* current() { return section ? core(section) : nullptr; }

    // ---- Part of the main window's procedures
    void Menu_False();
    void Sect_Select(int code);
    void Tau_List();
    void Combo1_Click(const std::string& item);
    // Folder in which the section's open and save dialogs start.
    std::string dataFolder() const;
    // After the section window's "Ввод" (shown name into panel 2, Input enabled) and "Отмена".
    void afterAccept(const std::string& shownName);
    void afterCancel();

    // ---- the section's data file
    // The name panel 2 shows for a data-file path: relative to the data folder.
    std::string shownNameOf(const std::string& path) const;
    // "&Выбрать файл и открыть таблицы" once the file is chosen: the file becomes the current
    // one of `sc` and is read into the store; `take` (may be empty) is the front end's use of the
    // reading and may throw to refuse it. Returns "" when read, otherwise the message; then the
    // file that was current stays current and the store is as it was.
    std::string openChosenFile(SectionCore& sc, const std::string& path, Ctx& c,
                               const std::function<void()>& take = {});
    // Before "Ввод" writes the file at path: write(p) writes the texts to a scratch file of the
    // same name, which the section's reader reads into the store and `check` (may be empty)
    // judges. What they refuse throws VeltaError with their message naming `path`; the store,
    // the check file and the current file are left as they were in every case.
    void checkBeforeWrite(SectionCore& sc, const std::string& path,
                          const std::function<void(const std::string&)>& write,
                          const std::function<void()>& check = {});
    // "Ввод" after the texts were written to path: it becomes the current file (SaveOK = 1).
    void afterWrite(SectionCore& sc, const std::string& path);

    // "&Ввод исходных данных": false when the reading failed (message shown).
    bool mnuInput(Ctx& c);
    // "С&чёт [и графика]": false when the computation failed (message shown; commands
    // as before). A section without a core says so.
    bool mnuIntegr(Ctx& c);
    // "&Спектр" of section 3: false when it failed (message shown).
    bool mnuSpectr(Ctx& c);
    void VarPar_Set(VarDlg d, int kind);
    // Every variation dialog back to a computed picture: the 3D kinds are switched off
    // (selection, Menu_False), so no section draws another section's stored results.
    void resetPictureKinds();
    void VarPar_Get();
    // The variation dialog of the current section, or -1.
    int varDialogIndex() const;
    // A section that varies its parameters without a dialog asks them in input boxes.
    bool variesByQuestion() const { return info && info->traits.variation && varDialogIndex() < 0; }
    Store& store() { return store_; }

    // Result commands: path of the file they show ("" when the section has none).
    std::string resultsPath() const;
    std::string qsolvPath() const;
    std::string spectrPath() const;
    std::string stablPath() const;
    // "&Удалить файлы результатов": deletes the list, disables the result commands;
    // the caller shows "Файлы удалены".
    void mnuDelF();
    static const std::vector<std::string>& deleteList();
    // "&Обновить окно".
    void mnuRefresh();

    // The message for a section whose computation or window is not built yet.
    static std::string notBuiltMessage(const SectionInfo& s);

    // Set when a 3D option of the variation dialog asks for the picture instead of a run.
    bool wants3D() const;
    // Draws the 3D picture from the stored results (set by the window that shows it);
    // throws VeltaError when the picture cannot be drawn.
    std::function<void(Ctx&)> draw3D;

private:
    Store& store_;
    const AppPaths& paths_;
    std::map<int, std::unique_ptr<SectionCore>> cores_;
};

}  // namespace velta
