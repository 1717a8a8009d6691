// What every section provides to the shell: reading its data file and its computation.
#pragma once
#include "data/context.h"

#include <memory>
#include <string>
#include <vector>

namespace velta {

class SectionCore {
public:
    virtual ~SectionCore() = default;
    virtual int code() const = 0;
    // Asked by "&Ввод исходных данных" before the reading; false when the user cancelled.
    // Section 4 asks its number of equations here; the others ask nothing.
    virtual bool beforeInput(Ctx& c) {
        (void)c;
        return true;
    }
    // Reads the current data file (dataPath) into the store and writes "\User\Input.chk".
    // Section 4 has no data file: its InputPar is Input1, run after NDIM was asked.
    virtual void InputPar(Ctx& c) = 0;
    // The computation of "С&чёт [и графика]": results file and plot.
    virtual void Integr1(Ctx& c) = 0;
    // "&Спектр" (section 3 only); the other sections have none.
    virtual bool hasSpectr() const { return false; }
    virtual void Spectr(Ctx& c) { (void)c; }
    // The text the main window shows after "&Спектр" (empty when the command was cancelled).
    virtual std::vector<std::string> spectrText() const { return {}; }

    std::string dataPath;   // full path of the current parameter data file
    std::string shownName;  // the same relative to the User (or task) folder
};

// The core of a section, or nullptr when that section is not built yet.
std::unique_ptr<SectionCore> makeSectionCore(int code);

}  // namespace velta
