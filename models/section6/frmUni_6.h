// Input window of section 6 (system of equations with delays): six sheets with the
// parameters of a ".suzd" data file. Two fields size the grids: MDIM (ALFA/GAMA/TETA grid
// and BETA grid) and LTAU (delay grid and BETA grid); each keeps its own changed mark and
// the grids it sizes are rebuilt with "0" at the next sheet switch or at "Ввод".
#pragma once
#include "data/forms/delayform.h"
#include "models/section6/sec6.h"

namespace velta {

class frmUni_6 : public SheetForm {
public:
    explicit frmUni_6(FormHost& host);

    // The open procedure of the section.
    void IshDanSuz() { open(); }
    // Sheet 3: the delays (grdTable2); sheet 2: ALFA, GAMA, TETA (grdTable1); sheet 4:
    // BETA(i,j,k) (grdTable3).
    void Tabl2_Dspl(bool zeros);
    void Tabl3_Dspl(bool zeros);
    void Matr_Dspl(bool zeros);
    // The texts of the fields and grids as they stand.
    Sec6::Fields currentFields() const;

    bool mdimChanged() const { return mdimChanged_; }
    bool ltauChanged() const { return ltauChanged_; }

protected:
    void fillFields() override;
    void fillGrids(bool zeros) override;
    void setDimension(i16) override {}  // both sizing fields are handled here
    void writeDataFile(const std::string& path) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Reads the changed sizing fields into MDIM and LTAU and rebuilds the grids they size
    // with "0"; a text that is not a valid dimension gives a message and changes nothing.
    bool applyDimensions();

    // Every field, the keyed ones laid out from the file's keys, the lists by hand.
    std::vector<FieldText<Sec6::Fields>> fields_;
    QLineEdit *txtMDIM, *txtLTAU;  // the sizing fields
    FormGrid *grdTable1, *grdTable2, *grdTable3;
    bool mdimChanged_ = false, ltauChanged_ = false;
};

}  // namespace velta
