// Input window of section 7 (stationary solutions of M(NDIM,NDIM)): four sheets with the
// parameters of a ".stRd" data file.
#pragma once
#include "data/forms/sectionform.h"
#include "stationary/frmGrids.h"
#include "stationary/section7/sec7.h"

namespace velta {

class frmUni_7 : public SectionForm {
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
    // Every field with its text and key.
    std::vector<KeyedField<Sec7::Fields>> fields() const;

    QLineEdit *txtNdim, *txtBeta, *txtGama, *txtLL;
    QLineEdit *txtSmax, *txtSH, *txtHmax, *txtDelta;
    QLineEdit* txtALmax;
    QLineEdit *txtDRX, *txtDRY;
};

}  // namespace velta
