// Input window of section 2.1.5 (starting solution RND): five sheets of a ".srRd" data
// file: the model, the continuation, Newton's method with the selection of solutions, the
// connection matrix MC and the standard steps H.
#pragma once
#include "data/forms/sectionform.h"
#include "stationary/section215/sec215.h"

namespace velta {

class frmUni_215 : public SectionForm {
public:
    explicit frmUni_215(FormHost& host);

    // The open procedure of the section.
    void IshDanSRR() { open(); }
    // Grids of MC (sheet 4) and of the standard steps H (sheet 5) at the current NDIM.
    void Matr_Dspl(bool zeros);
    void Tabl2_Dspl(bool zeros);
    // The texts of the fields and grids as they stand.
    Sec215::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    Sec215* sec();

    QLineEdit *txtMclass, *txtNdim, *txtAlfa, *txtBeta, *txtGama;
    QLineEdit *txtLmax, *txtHstep0, *txtQsolv, *txtQmax, *txtQmin, *txtEmin, *txtEmax, *txtAccel;
    QLineEdit *txtLimit0, *txtLimit, *txtExact;
    QLineEdit *txtNend, *txtNstep, *txtUerr, *txtFerr;
    FormGrid *grdTable, *grdTable2;
};

}  // namespace velta
