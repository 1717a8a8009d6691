// Input window of section 5.2.2 (synthesis coded by two genetic elements, equation with
// delay): the sheets of section 5.1.2 with the pairs of the two elements on sheet 1, each
// one field of numbers separated by "," ("ALFA,ALFA1,ALFA2", "BETA1,BETA2", "GAMA1,GAMA2").
#pragma once
#include "synthesis/section512/frmUni_512.h"
#include "synthesis/section522/sec522.h"

namespace velta {

class frmUni_522 : public SyzDelayForm {
public:
    explicit frmUni_522(FormHost& host);

    // The open procedure of the section.
    void IshDanSy2z() { open(); }
    // The texts of the fields and of the grid as they stand.
    Sec522::Fields currentFields() const;

protected:
    void fillFields() override;
    void writeDataFile(const std::string& path) override;

private:
    QLineEdit *txtAlfa_Alfa1_Alfa2, *txtBeta1_Beta2, *txtGama1_Gama2;
};

}  // namespace velta
