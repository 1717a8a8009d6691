#include "app/shell.h"

#include "app/prompter.h"
#include "app/runsize.h"
#include "data/error.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace velta {

namespace {

constexpr Cmd kMenuFalse[] = {Cmd::Table,     Cmd::FormMod,  Cmd::BankDan,  Cmd::Open, Cmd::Input,
                              Cmd::Integr,    Cmd::VarPar,   Cmd::OpenResl, Cmd::DelF, Cmd::Spectr,
                              Cmd::OpenQsolv, Cmd::OpenSpct, Cmd::OpenStabl};

// The variation dialogs (VarDlg order): the picture kind VarPar_Set takes from LGRAPH = 3,
// and whether the Poincaré plane has a 3D picture.
struct VarDialogRule {
    int kind;
    bool puan3D;
};
constexpr VarDialogRule kVarDialogs[] = {{0, true}, {0, true}, {1, false}, {2, false}};

}  // namespace

Shell::Shell(Store& store, const AppPaths& paths) : store_(store), paths_(paths) {
    Menu_False();
    enable(Cmd::Combo, false);
}

SectionCore* Shell::core(int code) {
    auto it = cores_.find(code);
    if (it != cores_.end()) return it->second.get();
    auto made = makeSectionCore(code);
    if (!made) return nullptr;
    SectionCore* raw = made.get();
    cores_.emplace(code, std::move(made));
    return raw;
}

std::string Shell::notBuiltMessage(const SectionInfo& s) {
    std::string name = s.caption;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return "Раздел «" + name + "» ещё не реализован в этой версии пакета.";
}

void Shell::Menu_False() {
    for (Cmd c : kMenuFalse) enable(c, false);
    textViewVisible = false;
    enable(Cmd::Turn, false);  // But_False
    varpar[static_cast<int>(VarDlg::VarPar)].chkTE = true;
    varpar[static_cast<int>(VarDlg::VarPar)].chkStereo = false;
    varpar[static_cast<int>(VarDlg::VarPar9)].chkStereo = false;
    resetPictureKinds();
}

void Shell::resetPictureKinds() {
    for (VarParOptions& o : varpar) {
        if (!o.optPhas3 && !o.optPuan3) continue;
        o.choose(&VarParOptions::optPhys);
    }
}

void Shell::Sect_Select(int code) {
    const SectionInfo* s = findSection(code);
    if (!s) return;
    section = code;
    info = s;
    store_.SUBDIR = s->subdir;
    if (!s->resext.empty()) store_.RESEXT = s->resext;
    welcomeVisible = false;
    status1 = s->caption;
    status2.clear();
    Menu_False();
    enable(Cmd::FormMod, true);
    enable(Cmd::BankDan, true);
    store_.TASKDIR.clear();
    taskItems.clear();
    comboText.clear();
    // The first three plotted components; NCOMP is left as it is.
    store_.IC(1) = 1;
    store_.IC(2) = 2;
    store_.IC(3) = 3;
    switch (s->group) {
    case 'A':
        enable(Cmd::Table, true);
        enable(Cmd::Combo, false);
        break;
    case 'B':
        enable(Cmd::Table, false);
        enable(Cmd::Input, true);
        enable(Cmd::Integr, false);
        enable(Cmd::Combo, false);
        break;
    default:
        enable(Cmd::Table, false);
        Tau_List();
        break;
    }
}

void Shell::Tau_List() {
    enable(Cmd::Combo, true);
    int n = 0;
    while (dirExists(paths_.resolve("\\User\\" + store_.SUBDIR + "Tau" + std::to_string(n + 1)))) ++n;
    taskItems.clear();
    for (int i = 0; i <= n; ++i) taskItems.push_back("Tau" + std::to_string(i));
    comboText = "Tau0";
}

void Shell::Combo1_Click(const std::string& item) {
    store_.TASKDIR = item;
    comboText = item;
    enable(Cmd::Table, true);
}

std::string Shell::dataFolder() const { return paths_.resolve("\\User\\" + store_.SUBDIR + store_.TASKDIR); }

void Shell::afterAccept(const std::string& shownName) {
    status2 = shownName;
    enable(Cmd::Input, true);
}

void Shell::afterCancel() {
    enable(Cmd::OpenResl, false);
    status2.clear();
    enable(Cmd::Turn, false);
}

std::string Shell::shownNameOf(const std::string& path) const {
    std::string prefix = dataFolder();
    if (!prefix.empty() && prefix.back() != '/' && prefix.back() != '\\') prefix += '/';
    return stripPrefix(path, prefix);
}

std::string Shell::openChosenFile(SectionCore& sc, const std::string& path, Ctx& c,
                                  const std::function<void()>& take) {
    const std::string oldPath = sc.dataPath, oldShown = sc.shownName;
    const Store saved = c.store;
    try {
        sc.dataPath = path;
        sc.shownName = shownNameOf(path);
        sc.InputPar(c);
        if (take) take();
    } catch (const std::exception& e) {
        // A run started now must not see a half-read or refused file: the store goes back
        // with the current file. The check file keeps the echo up to the failure.
        c.store = saved;
        sc.dataPath = oldPath;
        sc.shownName = oldShown;
        return e.what();
    }
    return {};
}

namespace {

std::string fileBytes(const std::string& path, bool& exists) {
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    std::ostringstream o;
    if (exists) o << in.rdbuf();
    return o.str();
}

}  // namespace

void Shell::checkBeforeWrite(SectionCore& sc, const std::string& path,
                             const std::function<void(const std::string&)>& write,
                             const std::function<void()>& check) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = fs::temp_directory_path(ec) / ("velta-check-" + std::to_string(::getpid()));
    fs::create_directories(dir, ec);
    const fs::path scratch = dir / fs::path(path).filename();
    const std::string chk = paths_.userFile("Input.chk");
    bool hadChk = false;
    const std::string chkBytes = fileBytes(chk, hadChk);
    const Store saved = store_;
    const std::string savedPath = sc.dataPath;
    auto restore = [&] {
        store_ = saved;
        sc.dataPath = savedPath;
        if (hadChk) {
            std::ofstream(chk, std::ios::binary | std::ios::trunc) << chkBytes;
        } else {
            fs::remove(chk, ec);
        }
        fs::remove_all(dir, ec);
    };
    try {
        write(scratch.string());
        sc.dataPath = scratch.string();
        NullSurface surface;
        SilentPrompter quiet;
        Ctx ctx{surface, quiet, paths_, store_};
        sc.InputPar(ctx);
        if (check) check();
    } catch (const std::exception& e) {
        restore();
        // The messages name the file to be written, not the scratch copy.
        std::string m = e.what();
        const std::string from = scratch.string();
        for (auto at = m.find(from); at != std::string::npos; at = m.find(from, at + path.size()))
            m.replace(at, from.size(), path);
        throw VeltaError(m);
    }
    restore();
}

void Shell::afterWrite(SectionCore& sc, const std::string& path) {
    store_.SaveOK = 1;
    sc.dataPath = path;
    sc.shownName = shownNameOf(path);
    afterAccept(sc.shownName);
}

int Shell::varDialogIndex() const { return info ? info->traits.varDialog : -1; }

void Shell::VarPar_Set(VarDlg d, int kind) {
    VarParOptions& o = varpar[static_cast<int>(d)];
    Store& g = store_;
    if (g.LGRAPH == 1) {
        o.choose(&VarParOptions::optPhys);
        const bool yes = g.LSCREEN == 1;
        g.LPERIOD = yes ? 1 : 0;
        o.optPYe = yes;
        o.optPNo = !yes;
    } else if (g.LGRAPH == 2) {
        o.choose(&VarParOptions::optPhas);
        g.LSCREEN = 0;
    } else if (g.LGRAPH == 3 && kind == 0) {
        o.choose(&VarParOptions::optPuan);
        g.LSCREEN = 0;
    }
}

void Shell::VarPar_Get() {
    const int d = varDialogIndex();
    if (d < 0) return;
    const VarParOptions& o = varpar[d];
    if (o.optPhys) {
        const i16 v = o.optPYe ? 1 : 0;
        store_.LSCREEN = v;
        store_.LPERIOD = v;
    }
}

bool Shell::wants3D() const {
    const int d = varDialogIndex();
    if (d < 0) return false;
    const VarParOptions& o = varpar[d];
    return o.optPhas3 || (kVarDialogs[d].puan3D && o.optPuan3);
}

bool Shell::mnuInput(Ctx& c) {
    if (!info) return false;
    SectionCore* sc = current();
    if (!sc) {
        c.ui.message(notBuiltMessage(*info), MsgIcon::Exclamation);
        return false;
    }
    if (!sc->beforeInput(c)) return false;
    if (!info->hasDataFile()) {
        // Without a data file the tables open after the reading.
        textViewVisible = false;
        enable(Cmd::Open, true);
    }
    const Store saved = c.store;
    try {
        sc->InputPar(c);
    } catch (const std::exception& e) {
        // A half-read file is not left behind: "С&чёт", if enabled, computes the last good reading.
        c.store = saved;
        c.ui.message(std::string("Ошибка при вводе исходных данных.\n") + e.what(), MsgIcon::Critical);
        return false;
    }
    enable(Cmd::Integr, true);
    enable(Cmd::Turn, false);
    if (sc->hasSpectr()) {
        enable(Cmd::Spectr, true);
        return true;
    }
    if (const int d = varDialogIndex(); d >= 0) VarPar_Set(static_cast<VarDlg>(d), kVarDialogs[d].kind);
    return true;
}

bool Shell::mnuIntegr(Ctx& c) {
    if (!info) return false;
    setColours(store_, whiteBackground);
    VarPar_Get();
    welcomeVisible = false;
    textViewVisible = false;
    SectionCore* sc = current();
    if (wants3D()) {
        // m3D_Graph: the stored results in the 3D picture instead of a new run.
        if (!draw3D) {
            c.ui.message("Трёхмерная картинка ещё не реализована в этой версии пакета.",
                         MsgIcon::Exclamation);
            return false;
        }
        try {
            draw3D(c);
        } catch (const std::exception& e) {
            enable(Cmd::Turn, false);
            c.ui.message(std::string("Трёхмерная картинка не построена.\n") + e.what(), MsgIcon::Critical);
            return false;
        }
        enable(Cmd::Turn, true);
        enable(Cmd::VarPar, true);
        enable(Cmd::OpenResl, true);
        enable(Cmd::DelF, true);
        return true;
    }
    if (!sc) {
        c.ui.message(notBuiltMessage(*info), MsgIcon::Exclamation);
        return false;
    }
    // A run that would write gigabytes or take an absurd number of steps is asked about first.
    const std::string sizeQuestion = runSizeQuestion(store_, section, "\\User\\Results." + info->resultExt);
    if (!sizeQuestion.empty() && !c.ui.askYesNo(sizeQuestion)) {
        c.ui.note("Счёт отменён: слишком большой объём вычислений");
        return false;
    }
    try {
        sc->Integr1(c);
        closingLine(c, info->traits.closing);
    } catch (const RunStopped&) {
        // The user's decision: the results file holds the rows written so far.
        c.ui.progressHide();
        c.ui.message(kRunStopped, MsgIcon::Information);
        enable(Cmd::OpenResl, true);
        enable(Cmd::DelF, true);
        return false;
    } catch (const std::exception& e) {
        c.ui.progressHide();
        c.ui.message(std::string("Счёт завершён с ошибкой.\n") + e.what(), MsgIcon::Critical);
        return false;
    }
    const SectionInfo::Traits& t = info->traits;
    if (t.variation) enable(Cmd::VarPar, true);
    if (!t.qsolvFile.empty()) enable(Cmd::OpenQsolv, true);
    if (!t.stablFile.empty()) enable(Cmd::OpenStabl, true);
    if (t.oneInputPerFile) enable(Cmd::Input, false);
    if (t.oneRunPerInput) enable(Cmd::Integr, false);
    enable(Cmd::OpenResl, true);
    enable(Cmd::DelF, true);
    return true;
}

bool Shell::mnuSpectr(Ctx& c) {
    SectionCore* sc = current();
    if (!sc || !sc->hasSpectr()) return false;
    try {
        sc->Spectr(c);
    } catch (const std::exception& e) {
        c.ui.progressHide();
        c.ui.message(std::string("Счёт завершён с ошибкой.\n") + e.what(), MsgIcon::Critical);
        return false;
    }
    // A cancelled question leaves no spectrum to look at.
    if (sc->spectrText().empty()) return false;
    enable(Cmd::OpenSpct, true);
    textViewVisible = true;
    return true;
}

std::string Shell::resultsPath() const {
    return info ? paths_.userFile("Results." + info->resultExt) : std::string();
}

namespace {

std::string userFileOf(const AppPaths& paths, const std::string& name) {
    return name.empty() ? std::string() : paths.userFile(name);
}

}  // namespace

std::string Shell::qsolvPath() const {
    return info ? userFileOf(paths_, info->traits.qsolvFile) : std::string();
}

std::string Shell::spectrPath() const {
    return info ? userFileOf(paths_, info->traits.spectrFile) : std::string();
}

std::string Shell::stablPath() const {
    return info ? userFileOf(paths_, info->traits.stablFile) : std::string();
}

const std::vector<std::string>& Shell::deleteList() {
    // What the sections write, in catalogue order, then the check files.
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const auto& s : catalogue()) v.insert(v.end(), s.traits.written.begin(), s.traits.written.end());
        for (const char* chk : {"Input.chk", "Phas.chk", "Puan.chk", "Ugly.chk", "Vector.chk"})
            v.push_back(chk);
        return v;
    }();
    return names;
}

void Shell::mnuDelF() {
    // File_Del for each name: a missing or locked file is skipped.
    for (const auto& name : deleteList()) removeFile(paths_.userFile(name));
    enable(Cmd::OpenResl, false);
    enable(Cmd::DelF, false);
    enable(Cmd::OpenQsolv, false);
    enable(Cmd::OpenSpct, false);
    enable(Cmd::OpenStabl, false);
}

void Shell::mnuRefresh() {
    Menu_False();
    welcomeVisible = true;
    status1.clear();
    status2.clear();
    enable(Cmd::Turn, false);
    taskItems.clear();
    comboText.clear();
    enable(Cmd::Combo, false);
}

}  // namespace velta
