#include "app/shell.h"

#include "app/prompter.h"
#include "app/runsize.h"
#include "data/error.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"
#include "stationary/section4/sec4.h"

namespace velta {

namespace {

constexpr Cmd kMenuFalse[] = {Cmd::Table,     Cmd::FormMod,  Cmd::BankDan,  Cmd::Open, Cmd::Input,
                              Cmd::Integr,    Cmd::VarPar,   Cmd::OpenResl, Cmd::DelF, Cmd::Spectr,
                              Cmd::OpenQsolv, Cmd::OpenSpct, Cmd::OpenStabl};

bool usesVarPar(int code) {
    return code == 8 || code == 9 || code == 11 || code == 21 || code == 511 || code == 521;
}

}  // namespace

Shell::Shell(const AppPaths& paths) : paths_(paths) {
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
    mdlGlobal.SUBDIR = s->subdir;
    if (!s->resext.empty()) mdlGlobal.RESEXT = s->resext;
    welcomeVisible = false;
    status1 = s->caption;
    status2.clear();
    Menu_False();
    enable(Cmd::FormMod, true);
    enable(Cmd::BankDan, true);
    mdlGlobal.TASKDIR.clear();
    taskItems.clear();
    comboText.clear();
    // The first three plotted components; NCOMP is left as it is.
    mdlGlobal.IC(1) = 1;
    mdlGlobal.IC(2) = 2;
    mdlGlobal.IC(3) = 3;
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
    while (dirExists(paths_.resolve("\\User\\" + mdlGlobal.SUBDIR + "Tau" + std::to_string(n + 1)))) ++n;
    taskItems.clear();
    for (int i = 0; i <= n; ++i) taskItems.push_back("Tau" + std::to_string(i));
    comboText = "Tau0";
}

void Shell::Combo1_Click(const std::string& item) {
    mdlGlobal.TASKDIR = item;
    comboText = item;
    enable(Cmd::Table, true);
}

std::string Shell::dataFolder() const {
    return paths_.resolve("\\User\\" + mdlGlobal.SUBDIR + mdlGlobal.TASKDIR);
}

void Shell::afterAccept(const std::string& shownName) {
    status2 = shownName;
    enable(Cmd::Input, true);
}

void Shell::afterCancel() {
    enable(Cmd::OpenResl, false);
    status2.clear();
    enable(Cmd::Turn, false);
}

int Shell::varDialogIndex() const {
    switch (section) {
    case 8:
    case 11:
    case 21: return static_cast<int>(VarDlg::VarPar);
    case 9: return static_cast<int>(VarDlg::VarPar9);
    case 511: return static_cast<int>(VarDlg::VarPar1);
    case 521: return static_cast<int>(VarDlg::VarPar2);
    default: return -1;
    }
}

void Shell::VarPar_Set(VarDlg d, int kind) {
    VarParOptions& o = varpar[static_cast<int>(d)];
    Store& g = mdlGlobal;
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
        mdlGlobal.LSCREEN = v;
        mdlGlobal.LPERIOD = v;
    }
}

bool Shell::wants3D() const {
    const int d = varDialogIndex();
    if (d < 0) return false;
    const VarParOptions& o = varpar[d];
    if (section == 511 || section == 521) return o.optPhas3;
    return o.optPhas3 || o.optPuan3;
}

bool Shell::mnuInput(Ctx& c) {
    if (!info) return false;
    SectionCore* sc = current();
    if (!sc) {
        c.ui.message(notBuiltMessage(*info), MsgIcon::Exclamation);
        return false;
    }
    if (section == 4) {
        // Section 4 has no data file: the number of equations is asked instead.
        for (;;) {
            const std::string answer = c.ui.inputBox("Задайте число уравнений  NDIM", kTitle, "1");
            if (answer.empty()) return false;
            double n = 0;
            try {
                n = textToReal(answer);
            } catch (const VeltaError&) {
                c.ui.message("Вы задали НЕ ЧИСЛО", MsgIcon::Exclamation);
                continue;
            }
            try {
                mdlGlobal.NDIM = textToI16(answer);
                break;
            } catch (const VeltaError&) {
                // A number beyond the 16-bit range gets the range message of any other
                // NDIM the section cannot take.
                c.ui.message("Ошибка при вводе исходных данных.\nЧисло уравнений NDIM должно быть от 1 до " +
                                 CStr(Sec4::kMaxNdim) + " (NDIM = " + CStr(n) + ")",
                             MsgIcon::Critical);
                return false;
            }
        }
        textViewVisible = false;
        enable(Cmd::Open, true);
    }
    try {
        sc->InputPar(c);
    } catch (const std::exception& e) {
        c.ui.message(std::string("Ошибка при вводе исходных данных.\n") + e.what(), MsgIcon::Critical);
        return false;
    }
    enable(Cmd::Integr, true);
    enable(Cmd::Turn, false);
    if (section == 3) {
        enable(Cmd::Spectr, true);
        return true;
    }
    switch (section) {
    case 8:
    case 11:
    case 21: VarPar_Set(VarDlg::VarPar, 0); break;
    case 9: VarPar_Set(VarDlg::VarPar9, 0); break;
    case 511: VarPar_Set(VarDlg::VarPar1, 1); break;
    case 521: VarPar_Set(VarDlg::VarPar2, 2); break;
    default: break;
    }
    return true;
}

bool Shell::mnuIntegr(Ctx& c) {
    if (!info) return false;
    setColours(whiteBackground);
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
    const std::string sizeQuestion = runSizeQuestion(section, "\\User\\Results." + info->resultExt);
    if (!sizeQuestion.empty() && !c.ui.askYesNo(sizeQuestion)) {
        c.ui.note("Счёт отменён: слишком большой объём вычислений");
        return false;
    }
    try {
        sc->Integr1(c);
        switch (section) {
        case 8:
        case 11:
        case 21: Period_Print(c, 18); break;
        // Section 9 computes no period: a PERIOD left by another section is not printed.
        case 9: c.ui.progressHide(); break;
        case 511: Period_Print(c, 20); break;
        case 521: Period_Print(c, 22); break;
        case 6: L_Print(c, 27); break;
        case 12:
        case 22:
        case 522: L_Print(c, 28); break;
        case 512: L_Print(c, 26); break;
        default: break;
        }
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
    if (usesVarPar(section) || section == 3) enable(Cmd::VarPar, true);
    switch (section) {
    case 213:
        enable(Cmd::OpenQsolv, true);
        enable(Cmd::Input, false);
        enable(Cmd::Integr, false);
        break;
    case 215: enable(Cmd::OpenQsolv, true); break;
    case 217:
        enable(Cmd::OpenQsolv, true);
        enable(Cmd::OpenStabl, true);
        enable(Cmd::Integr, false);
        break;
    default: break;
    }
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

std::string Shell::qsolvPath() const {
    switch (section) {
    case 213: return paths_.userFile("Qsolv.srg");
    case 215: return paths_.userFile("Qsolv.srR");
    case 217: return paths_.userFile("Qsolv.diu");
    default: return {};
    }
}

std::string Shell::spectrPath() const { return section == 3 ? paths_.userFile("Spectr.stb") : std::string(); }

std::string Shell::stablPath() const { return section == 217 ? paths_.userFile("Stabl.diu") : std::string(); }

const std::vector<std::string>& Shell::deleteList() {
    static const std::vector<std::string> names = {
        "Results.mnk", "Results.mnz", "Results.mtr", "Results.srg", "Bsolv.srg",   "Qsolv.srg",
        "Results.srR", "Bsolv.srR",   "Qsolv.srR",   "Qsolv0.srR",  "Results.diu", "Infor.diu",
        "Nlist.diu",   "Qsolv.diu",   "Bsolv.diu",   "Stabl.diu",   "Results.mtz", "Results.stb",
        "Spectr.stb",  "Results.sty", "Results.sy1", "Results.s1z", "Results.sy2", "Results.s2z",
        "Results.suz", "Results.stR", "Symmetr.stR", "Results.gse", "Input.chk",   "Phas.chk",
        "Puan.chk",    "Ugly.chk",    "Vector.chk"};
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
