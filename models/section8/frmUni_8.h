// Input window of section 8 (gene networks of ecological nature): four sheets with the
// parameters of a ".gsed" data file, the Poincaré plane's Xo and N as grids.
#pragma once
#include "data/forms/sectionform.h"
#include "models/section8/sec8.h"

namespace velta {

class frmUni_8 : public SectionForm {
public:
    explicit frmUni_8(FormHost& host);

    // The open procedure of the section.
    void IshDanEco() { open(); }
    // Grids of Xo (XP) and of the normal N (FP) at NDIM components.
    void Tabl1_Dspl(bool zeros);
    void Tabl2_Dspl(bool zeros);
    // The texts of the fields and grids as they stand.
    Sec8::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    QLineEdit *txtMclass, *txtNdim, *txtKmod, *txtAlfa, *txtBeta, *txtGama;
    QLineEdit *txtI1N, *txtXI1;
    FormGrid *grdTable1, *grdTable2;
    QLineEdit *txtTmax, *txtHHH, *txtLscreen, *txtTmin, *txtLgraph, *txtLstep;
    QLineEdit *txtI1G, *txtNsc, *txtDlx, *txtDrx, *txtDlw, *txtDrw, *txtSclt;
};

} // namespace velta
