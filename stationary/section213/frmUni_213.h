// Input window of section 2.1.3 (starting solution MNN): eight sheets of a ".srgd" data
// file on two tab strips. The first (sheets 1, 2) ends with the LDIM question and the
// starting solution; the second (sheets 3 to 8) with the usual "Ввод".
#pragma once
#include "data/forms/sectionform.h"
#include "stationary/section213/sec213.h"

namespace velta {

class frmUni_213 : public SectionForm {
public:
    explicit frmUni_213(FormHost& host);

    // The open procedure of the section: the window opens on the first tab strip.
    void IshDanSRG() { open(); }
    void open() override;
    // "Ввод": first stage (LDIM, STARTp, second tab strip) or the common accept.
    void cmdINput1_Click();
    // 1 while sheets 1 and 2 are shown, 2 while sheets 3 to 8 are.
    int stage() const { return stage_; }
    // Shows the first (1) or the second (2) tab strip with its first sheet.
    void setStage(int stage);

    // Grids of MC and of H, UL, UR at the current NDIM.
    void Matr_Dspl(bool zeros);
    void Tabl2_Dspl(bool zeros);
    Sec213::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    Sec213* sec();
    // The values of sheets 1 and 2 into the store; false (with a message) when one of them
    // is not a number.
    bool takeFirstSheets();

    int stage_ = 1;
    QLineEdit *txtMclass, *txtNdim, *txtAlfa, *txtBeta, *txtGama;
    QLineEdit *txtHHH, *txtTmax, *txtU10, *txtU20;
    FormGrid* grdTable;
    QLineEdit *txtQmin, *txtQmax, *txtQsolv, *txtHstep;
    FormGrid* grdTable2;
    QLineEdit *txtExact, *txtLimit, *txtLimit0, *txtAccel, *txtEmin, *txtEmax;
    QLineEdit *txtNend, *txtIC;
    QLineEdit *txtSclx, *txtScrx, *txtScly, *txtScry;
};

}  // namespace velta
