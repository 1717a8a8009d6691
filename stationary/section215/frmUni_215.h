// Input window of section 2.1.5 (starting solution RND): five sheets of a ".srRd" data
// file: the model, the continuation, Newton's method with the selection of solutions, the
// connection matrix MC and the standard steps H.
#pragma once
#include "stationary/frmGrids.h"
#include "stationary/section215/sec215.h"

namespace velta {

class frmUni_215 : public StationaryNetForm {
public:
    explicit frmUni_215(FormHost& host);

    // The open procedure of the section.
    void IshDanSRR() { open(); }
    // Grid of the standard steps H (sheet 5) at the current NDIM (MC on sheet 4: Matr_Dspl).
    void Tabl2_Dspl(bool zeros);
    // The texts of the fields and grids as they stand.
    Sec215::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void writeDataFile(const std::string& path) override;

private:
    Sec215* sec();
    FormGrid* grdTable2;
    // The fields of blocks 3 and 6 (the continuation but Newton's method).
    std::vector<FieldText<Sec215::Fields>> fields_;
};

}  // namespace velta
