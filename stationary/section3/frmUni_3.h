// Input window of section 3 (circulant stability): two sheets with the parameters of a
// ".stbd" data file, the model and the ALFA range of the plot U(ALFA).
#pragma once
#include "data/forms/sheets.h"
#include "stationary/section3/sec3.h"

namespace velta {

class frmUni_3 : public SheetForm {
public:
    explicit frmUni_3(FormHost& host);

    // The open procedure of the section.
    void IshDanStb() { open(); }
    // The texts of the fields as they stand.
    Sec3::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    std::vector<FieldText<Sec3::Fields>> fields_;  // every field, laid out from the file's keys
};

}  // namespace velta
