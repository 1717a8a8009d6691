// Input window of section 2.1 (general network, autonomous system): five sheets with the
// parameters of a ".mtrd" data file, the connection matrix MC and the Poincaré plane's
// Xo and N as grids.
#pragma once
#include "data/forms/sectionform.h"
#include "models/section21/sec21.h"

namespace velta {

class frmUni_21 : public SectionForm {
public:
    explicit frmUni_21(FormHost& host);

    // The open procedure of the section.
    void IshDanGen() { open(); }
    // Matrix grid of MC, NDIM x NDIM values with the indexes in row 0 and column 0.
    void Matr_Dspl(bool zeros);
    // Grids of Xo (XP) and of the normal N (FP) at NDIM components.
    void Tabl1_Dspl(bool zeros);
    void Tabl2_Dspl(bool zeros);
    // The texts of the fields and grids as they stand.
    Sec21::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    QLineEdit *txtMclass, *txtNdim, *txtAlfa, *txtBeta, *txtGama;
    QLineEdit *txtI1N, *txtXI1;
    FormGrid *grdTable1, *grdTable2, *grdTable3;
    QLineEdit *txtTmax, *txtHHH, *txtLscreen, *txtTmin, *txtLgraph, *txtLstep;
    QLineEdit *txtI1G, *txtNsc, *txtDlx, *txtDrx, *txtDlw, *txtDrw, *txtSclt;
};

} // namespace velta
