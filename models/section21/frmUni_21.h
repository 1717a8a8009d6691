// Input window of section 2.1 (general network, autonomous system): five sheets with the
// parameters of a ".mtrd" data file, the connection matrix MC and the Poincaré plane's
// Xo and N as grids.
#pragma once
#include "data/forms/sheets.h"
#include "models/section21/sec21.h"

namespace velta {

class frmUni_21 : public PlaneForm {
public:
    explicit frmUni_21(FormHost& host);

    // The open procedure of the section.
    void IshDanGen() { open(); }
    // Matrix grid of MC, NDIM x NDIM values with the indexes in row 0 and column 0.
    void Matr_Dspl(bool zeros);
    // The texts of the fields and grids as they stand.
    Sec21::Fields currentFields() const;

protected:
    void fillFields() override { net_.show(Sec21::fieldsFromStore(host_.store())); }
    // The matrix, then the grids of the plane.
    void fillGrids(bool zeros) override;
    void writeDataFile(const std::string& path) override;

private:
    NetworkWidgets<Sec21::Fields> net_;
    FormGrid* grdTable1;
};

}  // namespace velta
