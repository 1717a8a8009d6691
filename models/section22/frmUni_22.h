// Input window of section 2.2 (general network, system of equations with delays): four
// sheets with the parameters of a ".mtzd" data file; the delays as a one-column grid.
#pragma once
#include "data/forms/delayform.h"
#include "models/section22/sec22.h"

namespace velta {

class frmUni_22 : public DelayForm {
public:
    explicit frmUni_22(FormHost& host);

    // The open procedure of the section.
    void IshDanGenZ() { open(); }
    // The delay grid at LTAU rows.
    void Tabl1_Dspl(bool zeros);
    // The texts of the fields and of the grid as they stand.
    Sec22::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    std::vector<FieldText<Sec22::Fields>> fields_;  // every field, laid out from the file's keys
};

}  // namespace velta
