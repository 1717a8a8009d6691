// Input window of section 5.2.1 (synthesis coded by two genetic elements, autonomous
// system): three sheets with the parameters of a ".sy2d" data file; no grids. The pairs
// NDIM1,NDIM2 ... TAU1,TAU2 are single fields of two values separated by ",".
#pragma once
#include "data/forms/sheets.h"
#include "synthesis/section521/sec521.h"

namespace velta {

class frmUni_521 : public SheetForm {
public:
    explicit frmUni_521(FormHost& host);

    // The open procedure of the section.
    void IshDanSy2() { open(); }
    // The texts of the fields as they stand.
    Sec521::Fields currentFields() const;

protected:
    void fillFields() override;
    // The window has no grids, so no field sizes anything.
    void fillGrids(bool) override {}
    void setDimension(i16) override {}
    // What the reading or the run would refuse is not written.
    void writeDataFile(const std::string& path) override {
        const Sec521::Fields f = currentFields();
        checkByReading(
            path, [&](const std::string& p) { Sec521::Table_File(host_.store(), p, f); },
            [this] { Sec521::checkLimits(host_.store()); });
        Sec521::Table_File(host_.store(), path, f);
    }

private:
    // The fields of sheet 1 (the keys laid out from the file's keys, the pairs by hand)
    // and the list of the plotted components, with the texts they show.
    std::vector<FieldText<Sec521::Fields>> fields_;
    RunWidgets run_;
    ScaleWidgets scale_;
};

}  // namespace velta
