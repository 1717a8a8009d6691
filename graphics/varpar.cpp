#include "graphics/varpar.h"

#include "app/prompter.h"
#include "data/error.h"
#include "data/numtext.h"
#include "data/store.h"
#include "data/textlist.h"

#include <array>
#include <cmath>
#include <optional>

namespace velta {

namespace {

// Where a field's value lives: one real, a pair of reals, or the integer MCPZ.
struct Target {
    double Store::*first = nullptr;
    double Store::*second = nullptr;  // set for a pair "A,B"
    bool mcpz = false;
};

struct FieldDef {
    VarParField field;
    Target target;
};

using D = double Store::*;

const std::vector<FieldDef>& defs(VarDlg d) {
    static const std::vector<FieldDef> varPar = {
        {{"txtTMAX", "TMAX ="}, {D(&Store::TMAX)}},
        {{"txtALFA", "ALFA ="}, {D(&Store::ALFA)}},
        {{"txtBETA", "BETA ="}, {D(&Store::BETA)}},
        {{"txtGAMA", "GAMA ="}, {D(&Store::GAMA)}},
        {{"txtDRX", " Масштаб DRX (в долях ALFA)", true, true}, {D(&Store::DRX)}},
    };
    static const std::vector<FieldDef> varPar1 = {
        {{"txtTMAX", "TMAX ="}, {D(&Store::TMAX)}},
        {{"txtALFA", "ALFA ="}, {D(&Store::ALFA)}},
        {{"txtBETA", "BETA ="}, {D(&Store::BETA)}},
        {{"txtGAMA", "GAMA ="}, {D(&Store::GAMA)}},
        {{"txtSCRX", " Масштаб SCRX", true, true}, {D(&Store::SCRX)}},
        // Shown for reference; the synthesis computation takes them from its data file.
        {{"txtTAU1", "TAU1 =", false}, {D(&Store::TAU1)}},
        {{"txtTAU2", "TAU2 =", false}, {D(&Store::TAU2)}},
        {{"txtTETA", "TETA =", false}, {D(&Store::TETA)}},
        {{"txtOMEG", "OMEG =", false}, {D(&Store::OMEG)}},
    };
    static const std::vector<FieldDef> varPar2 = {
        {{"txtTMAX", "TMAX ="}, {D(&Store::TMAX)}},
        {{"txtALFA", "ALFA ="}, {D(&Store::ALFA)}},
        {{"txtTETA", "TETA ="}, {D(&Store::TETA)}},
        {{"txtBETA12", "BETA1,BETA2 ="}, {D(&Store::BETA1), D(&Store::BETA2)}},
        {{"txtGAMA12", "GAMA1,GAMA2 ="}, {D(&Store::GAMA1), D(&Store::GAMA2)}},
        {{"txtTAU12", "TAU1,TAU2 ="}, {D(&Store::TAU1), D(&Store::TAU2)}},
        {{"txtDRX", " Масштаб DRX", true, true}, {D(&Store::DRX)}},
    };
    // Section 9 plots against SCRT, the end of its time axis.
    static const std::vector<FieldDef> varPar9 = {
        {{"txtTMAX", "TMAX ="}, {D(&Store::SCRT)}},
        {{"txtALFA", "ALFA ="}, {D(&Store::ALFA)}},
        {{"txtGAMA", "GAMA ="}, {D(&Store::GAMA)}},
        {{"txtMCPZ", "MCPZ ="}, {nullptr, nullptr, true}},
    };
    switch (d) {
    case VarDlg::VarPar9: return varPar9;
    case VarDlg::VarPar1: return varPar1;
    case VarDlg::VarPar2: return varPar2;
    case VarDlg::VarPar: break;
    }
    return varPar;
}

std::string textOf(const Store& g, const Target& t) {
    if (t.mcpz) return CStr(g.MCPZ);
    std::string s = CStr(g.*t.first);
    if (t.second) s += "," + CStr(g.*t.second);
    return s;
}

// A finite number, or nothing.
std::optional<double> number(const std::string& text) {
    try {
        const double v = textToReal(text);
        if (std::isfinite(v)) return v;
    } catch (const VeltaError&) {}
    return std::nullopt;
}

// A new value for one target, read from its field text.
struct Pending {
    const Target* target;
    double a = 0, b = 0;
    i16 n = 0;
};

// Reads "i1,i2" (count 2) or "i1,i2,i3" (count 3) into `out`; false after a message.
bool readComponents(const Store& g, const std::string& text, int count, std::array<i16, 3>& out,
                    Prompter& ui) {
    const std::string missing = "Задайте " + std::to_string(count) + " ненулевых номера";
    const auto pieces = split(text, ',');
    if (static_cast<int>(pieces.size()) < count) {
        ui.message(missing, MsgIcon::Exclamation, kVarParTitle);
        return false;
    }
    std::array<double, 3> v{};
    for (int i = 0; i < count; ++i) {
        // A piece that is not a number counts as zero; a component number is at least 1.
        const auto x = number(pieces[static_cast<std::size_t>(i)]);
        const double r = x ? std::nearbyint(*x) : 0;
        if (r < 1) {
            ui.message(missing, MsgIcon::Exclamation, kVarParTitle);
            return false;
        }
        v[static_cast<std::size_t>(i)] = r;
    }
    for (int i = 0; i < count; ++i) {
        if (v[static_cast<std::size_t>(i)] > g.NDIM) {
            ui.message("Номер должен быть <= NDIM", MsgIcon::Exclamation, kVarParTitle);
            return false;
        }
    }
    for (int i = 0; i < count; ++i) out[static_cast<std::size_t>(i)] = toI16(v[static_cast<std::size_t>(i)]);
    return true;
}

}  // namespace

const std::vector<VarParField>& varParFields(VarDlg d) {
    static const auto make = [](VarDlg k) {
        std::vector<VarParField> out;
        for (const auto& f : defs(k)) out.push_back(f.field);
        return out;
    };
    static const std::array<std::vector<VarParField>, 4> all = {make(VarDlg::VarPar), make(VarDlg::VarPar9),
                                                                make(VarDlg::VarPar1), make(VarDlg::VarPar2)};
    return all[static_cast<std::size_t>(d)];
}

std::vector<std::string> varParTexts(const Store& g, VarDlg d) {
    std::vector<std::string> out;
    for (const auto& f : defs(d)) out.push_back(textOf(g, f.target));
    return out;
}

std::string varParI1I2(const Store& g) { return CStr(g.IC(1)) + "," + CStr(g.IC(2)); }

std::string varParI1I2I3(const Store& g) { return varParI1I2(g) + "," + CStr(g.IC(3)); }

VarParResult varParAccept(Store& g, VarDlg d, const VarParInput& in, Prompter& ui) {
    const auto& fields = defs(d);
    if (in.texts.size() != fields.size()) throw VeltaError("Варьирование параметров: неверное число полей");
    const bool cha = g.RESEXT == "cha";

    // Step 1, checked before anything is changed.
    std::vector<Pending> pending;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        if (!f.field.readBack) continue;
        // With a 3D plot the parameter fields are disabled: only the scale is read.
        if (in.plot == VarPlot::Space && !f.field.scale) continue;
        if (d == VarDlg::VarPar && f.field.scale && cha) continue;
        const std::string& text = in.texts[i];
        // An untouched field keeps its value exactly (its text may be rounded).
        if (text == textOf(g, f.target)) continue;
        const std::string notNumber = "Вы задали НЕ ЧИСЛО\n" + f.field.label + " " + text;
        Pending p{&f.target};
        if (f.target.mcpz) {
            try {
                p.n = textToI16(text);
            } catch (const VeltaError&) {
                ui.message(notNumber, MsgIcon::Exclamation, kVarParTitle);
                return {};
            }
        } else if (f.target.second) {
            const auto pieces = split(text, ',');
            if (pieces.size() < 2) {
                ui.message("Задайте 2 числа через запятую\n" + f.field.label + " " + text,
                           MsgIcon::Exclamation, kVarParTitle);
                return {};
            }
            const auto a = number(pieces[0]), b = number(pieces[1]);
            if (!a || !b) {
                ui.message(notNumber, MsgIcon::Exclamation, kVarParTitle);
                return {};
            }
            p.a = *a;
            p.b = *b;
        } else {
            const auto a = number(text);
            if (!a) {
                ui.message(notNumber, MsgIcon::Exclamation, kVarParTitle);
                return {};
            }
            p.a = *a;
        }
        pending.push_back(p);
    }

    // Steps 2 and 3.
    std::array<i16, 3> ic{};
    int count = 0;
    if (in.plot == VarPlot::Plane) {
        if (!readComponents(g, in.i1i2, 2, ic, ui)) return {};
        count = 2;
    } else if (in.plot == VarPlot::Space) {
        if (!readComponents(g, in.i1i2i3, 3, ic, ui)) return {};
        count = 3;
    }

    for (const Pending& p : pending) {
        if (p.target->mcpz) {
            g.MCPZ = p.n;
        } else {
            g.*(p.target->first) = p.a;
            if (p.target->second) g.*(p.target->second) = p.b;
        }
    }
    for (int i = 0; i < count; ++i) g.IC(i + 1) = ic[static_cast<std::size_t>(i)];

    VarParResult r{true, false};
    switch (d) {
    case VarDlg::VarPar:
        if (!cha) {
            g.SCRX = g.DRX * g.ALFA;
            r.reload3D = true;
        }
        break;
    case VarDlg::VarPar1: r.reload3D = true; break;
    case VarDlg::VarPar2:
        g.SCRX = g.DRX * g.ALFA;
        r.reload3D = true;
        break;
    case VarDlg::VarPar9: break;
    }
    return r;
}

void varParSection3(Store& g, Prompter& ui) {
    const std::string title = "   " + kVarParTitle;
    std::string shown = CStr(g.BETA) + "," + CStr(g.GAMA);
    for (;;) {
        const std::string answer = ui.inputBox("Введите  BETA, GAMA", title, shown);
        if (answer.empty()) {
            ui.message("Вы ничего не ввели или выбрали  Cancel", MsgIcon::Exclamation, title);
            continue;
        }
        const auto pieces = split(answer, ',');
        const auto beta = number(pieces[0]);
        const auto gama = pieces.size() >= 2 ? number(pieces[1]) : std::nullopt;
        if (!beta || !gama) {
            // Asked again with what was typed, so it can be mended.
            ui.message("Вы задали НЕ ЧИСЛО\n" + answer, MsgIcon::Exclamation, title);
            shown = answer;
            continue;
        }
        g.BETA = *beta;
        g.GAMA = *gama;
        return;
    }
}

}  // namespace velta
