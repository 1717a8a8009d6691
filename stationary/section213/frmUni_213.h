// Input window of section 2.1.3 (starting solution MNN): eight sheets of a ".srgd" data
// file on two tab strips. The first (sheets 1, 2) ends with the LDIM question and the
// starting solution; the second (sheets 3 to 8) with the usual "Ввод".
#pragma once
#include "stationary/frmGrids.h"
#include "stationary/section213/sec213.h"

namespace velta {

class frmUni_213 : public StationaryNetForm {
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

    // Grid of H, UL, UR at the current NDIM (MC: Matr_Dspl).
    void Tabl2_Dspl(bool zeros);
    Sec213::Fields currentFields() const;

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void writeDataFile(const std::string& path) override;

private:
    Sec213* sec();
    // The values of sheets 1 and 2 into the store; false (with a message) when one of them
    // is not a number.
    bool takeFirstSheets();
    int stage_ = 1;
    FormGrid* grdTable2;
    std::vector<FieldText<Sec213::Fields>> fields_;  // the fields besides the model and the continuation
};

}  // namespace velta
