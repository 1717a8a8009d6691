// Input window of section 9 (oscillations of chaotic type): three sheets with the
// parameters of a ".chad" data file, the Poincaré plane's Xo and N as grids.
#pragma once
#include "data/forms/sectionform.h"
#include "models/section9/sec9.h"

namespace velta {

class frmUni_9 : public SectionForm {
public:
    explicit frmUni_9(FormHost& host);

    // The open procedure of the section.
    void IshDanCha() { open(); }
    // Grids of Xo (XP) and of the normal N (FP) at NDIM components.
    void Tabl1_Dspl(bool zeros);
    void Tabl2_Dspl(bool zeros);
    // The texts of the fields and grids as they stand.
    Sec9::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    // The section's core, which holds the initial values YO.
    Sec9& sec();

    QLineEdit *txtNdim, *txtAlfa, *txtGama, *txtMCPZ, *txtXI1;
    QLineEdit *txtSCLT, *txtSCRT, *txtHHH, *txtSCLX, *txtSCRX;
    FormGrid *grdTable1, *grdTable2;
    QLineEdit *txtICi, *txtLscreen, *txtLgraph, *txtNsc;
};

} // namespace velta
