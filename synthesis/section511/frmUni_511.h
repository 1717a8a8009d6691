// Input window of section 5.1.1 (synthesis coded by one genetic element, autonomous
// system): three sheets with the parameters of a ".sy1d" data file; no grids.
#pragma once
#include "data/forms/sheets.h"
#include "synthesis/section511/sec511.h"

namespace velta {

class frmUni_511 : public SheetForm {
public:
    explicit frmUni_511(FormHost& host);

    // The open procedure of the section.
    void IshDanSy1() { open(); }
    // The texts of the fields as they stand.
    Sec511::Fields currentFields() const;

protected:
    void fillFields() override;
    // The window has no grids, so no field sizes anything.
    void fillGrids(bool) override {}
    void setDimension(i16) override {}
    // What the reading or the run would refuse is not written.
    void writeDataFile(const std::string& path) override {
        const Sec511::Fields f = currentFields();
        checkByReading(
            path, [&](const std::string& p) { Sec511::Table_File(host_.store(), p, f); },
            [this] { Sec511::checkLimits(host_.store()); });
        Sec511::Table_File(host_.store(), path, f);
    }

private:
    // The fields of sheets 1 and 3, laid out from the file's keys, and the list of the
    // plotted components, with the texts they show.
    std::vector<FieldText<Sec511::Fields>> fields_;
    RunWidgets run_;
};

}  // namespace velta
