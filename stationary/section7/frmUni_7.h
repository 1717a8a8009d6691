// Input window of section 7 (stationary solutions of M(NDIM,NDIM)): four sheets with the
// parameters of a ".stRd" data file.
#pragma once
#include "data/forms/sheets.h"
#include "stationary/section7/sec7.h"

namespace velta {

class frmUni_7 : public SheetForm {
public:
    explicit frmUni_7(FormHost& host);

    // The open procedure of the section.
    void IshDanStR() { open(); }
    // The texts of the fields as they stand.
    Sec7::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    std::vector<FieldText<Sec7::Fields>> fields_;  // every field, laid out from the file's keys
};

}  // namespace velta
