// Input window of section 2.1.7 (diagrams and stability): nine sheets of a ".diud" data
// file: the model, the connection matrix MC, the starting approximation, the continuation,
// Newton's method, the standard steps H, the stability bound, the output and the scales.
#pragma once
#include "stationary/frmGrids.h"
#include "stationary/section217/sec217.h"

namespace velta {

class frmUni_217 : public StationaryNetForm {
public:
    explicit frmUni_217(FormHost& host);

    // The open procedure of the section.
    void IshDanDU() { open(); }
    // Grids of the starting approximation Y (sheet 3) and of the standard steps H (sheet 6)
    // at the current NDIM (MC on sheet 2: Matr_Dspl).
    void Tabl1_Dspl(bool zeros);
    void Tabl2_Dspl(bool zeros);
    // The texts of the fields and grids as they stand.
    Sec217::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void writeDataFile(const std::string& path) override;

private:
    Sec217* sec();
    // The first line of a two-line label, a line above the row at y, ending where the
    // row's label ends.
    void firstLabelLine(int sheet, int y, int labelWidth, const QString& text);

    FormGrid *grdTable1, *grdTable2;
    std::vector<FieldText<Sec217::Fields>> fields_;  // the fields besides the model and the continuation
};

}  // namespace velta
