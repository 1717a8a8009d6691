// Input window of section 2.1.7 (diagrams and stability): nine sheets of a ".diud" data
// file: the model, the connection matrix MC, the starting approximation, the continuation,
// Newton's method, the standard steps H, the stability bound, the output and the scales.
#pragma once
#include "data/forms/sectionform.h"
#include "stationary/section217/sec217.h"

namespace velta {

class frmUni_217 : public SectionForm {
public:
    explicit frmUni_217(FormHost& host);

    // The open procedure of the section.
    void IshDanDU() { open(); }
    // Grids of MC (sheet 2), of the starting approximation Y (sheet 3) and of the standard
    // steps H (sheet 6) at the current NDIM.
    void Matr_Dspl(bool zeros);
    void Tabl1_Dspl(bool zeros);
    void Tabl2_Dspl(bool zeros);
    // The texts of the fields and grids as they stand.
    Sec217::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    Sec217* sec();
    // A field whose label takes two lines: the first above the second, both ending at the
    // field.
    QLineEdit* twoLineField(int sheet, int y, int labelWidth, const QString& first, const QString& second,
                            const QString& name);

    QLineEdit *txtMclass, *txtNdim, *txtAlfa, *txtBeta, *txtGama;
    FormGrid *grdTable, *grdTable1, *grdTable2;
    QLineEdit *txtQmin, *txtQmax, *txtQsolv, *txtHstep;
    QLineEdit *txtExact, *txtLimit, *txtLimit0, *txtAccel, *txtEmin, *txtEmax;
    QLineEdit *txtStab, *txtNend, *txtIC;
    QLineEdit *txtSclx, *txtScrx, *txtScly, *txtScry;
};

}  // namespace velta
