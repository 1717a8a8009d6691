// The parameter-variation commands without the windows: the texts the four variation
// dialogs show, the reading of their "Ввод", and the BETA, GAMA input box of section 3.
#pragma once
#include "app/shell.h"

#include <string>
#include <vector>

namespace velta {

class Prompter;

inline const std::string kVarParTitle = "Варьирование параметров";
inline const std::string kVarParCaption = "   Опции графики и варьирование параметров";

// One parameter field of a dialog: its object name, label and whether "Ввод" reads it.
// Scale fields stay enabled whatever plot kind is chosen (the 3D box uses them).
struct VarParField {
    std::string name;   // txtTMAX, ...
    std::string label;  // "TMAX =", ...
    bool readBack = true;
    bool scale = false;
};

// The fields of a dialog in the order they are shown.
const std::vector<VarParField>& varParFields(VarDlg d);
// The texts of those fields from the store g (pairs joined with ",").
std::vector<std::string> varParTexts(const Store& g, VarDlg d);
// IC(1) & "," & IC(2) and IC(1) & "," & IC(2) & "," & IC(3).
std::string varParI1I2(const Store& g);
std::string varParI1I2I3(const Store& g);

// Which component field "Ввод" reads.
enum class VarPlot { Phys, Plane, Space };

struct VarParInput {
    std::vector<std::string> texts;  // one per field of varParFields(d)
    VarPlot plot = VarPlot::Phys;
    std::string i1i2, i1i2i3;
};

// Outcome of "Ввод": accepted (store changed), or a message shown and nothing changed.
struct VarParResult {
    bool accepted = false;
    // The 3D box is to be rebuilt and the phase-space points read again.
    bool reload3D = false;
};

// Steps 1-3 of "Ввод" into the store g: checks every field first, so that a refused entry
// changes nothing; messages go to `ui` with the title "Варьирование параметров". A field
// whose text is still the one shown keeps its value exactly.
VarParResult varParAccept(Store& g, VarDlg d, const VarParInput& in, Prompter& ui);

// Section 3: asks "Введите  BETA, GAMA" until two numbers are given; sets BETA, GAMA of g.
void varParSection3(Store& g, Prompter& ui);

}  // namespace velta
