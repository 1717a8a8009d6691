// Input window of section 1.2 (symmetric network, system of equations with delays): four
// sheets with the parameters of a ".mnzd" data file; the delays as a one-column grid.
#pragma once
#include "data/forms/delayform.h"
#include "models/section12/sec12.h"

namespace velta {

class frmUni_12 : public DelayForm {
public:
    explicit frmUni_12(FormHost& host);

    // The open procedure of the section.
    void IshDanSymZ() { open(); }
    // The delay grid at LTAU rows.
    void Tabl1_Dspl(bool zeros);
    // The texts of the fields and of the grid as they stand.
    Sec12::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    std::vector<FieldText<Sec12::Fields>> fields_;  // every field, laid out from the file's keys
};

}  // namespace velta
