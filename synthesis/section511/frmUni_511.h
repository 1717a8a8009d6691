// Input window of section 5.1.1 (synthesis coded by one genetic element, autonomous
// system): three sheets with the parameters of a ".sy1d" data file; no grids.
#pragma once
#include "data/forms/sectionform.h"
#include "synthesis/section511/sec511.h"

namespace velta {

class frmUni_511 : public SectionForm {
public:
    explicit frmUni_511(FormHost& host);

    // The open procedure of the section.
    void IshDanSy1() { open(); }
    // The texts of the fields as they stand.
    Sec511::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override;

private:
    QLineEdit *txtNdim, *txtAlfa, *txtBeta, *txtGama, *txtTeta, *txtOmeg, *txtTau1, *txtTau2;
    QLineEdit *txtIND, *txtX_Ndim, *txtX_1;
    QLineEdit *txtTmax, *txtHHH, *txtLscreen, *txtTmin, *txtLgraph;
    QLineEdit *txtI1G, *txtNss, *txtNsc, *txtSclx, *txtScrx, *txtSclw, *txtScrw, *txtSclt;
};

} // namespace velta
