// Input window of section 4 "Ассорти": one sheet with the table that gives every
// component X(i) the number of a component of U. It is shown by "&Ввод исходных данных"
// after Input1 has prepared the table for the NDIM just asked; there is no data file.
#pragma once
#include "data/forms/sectionform.h"
#include "stationary/section4/sec4.h"

class QPushButton;

namespace velta {

class frmUni_4 : public SectionForm {
public:
    explicit frmUni_4(FormHost& host);

    // Shows the table prepared by Input1: NDIM columns, every U-number "0".
    void open() override;
    // (Re)builds grdTable at the current NDIM with "0" in the U row.
    void Tabl_Dspl();
    // "Ввод" of the table (cmdOK_Tabl): the U row into G and NU, then the tab strip is
    // hidden. A row that cannot be taken is explained and stays for correction.
    bool cmdOK_Tabl_Click();
    // "Ввод" of the window (cmdInput4): takes a table still shown, then hides the window.
    void cmdInput4_Click();
    // The texts of the U row, components 1..NDIM.
    std::vector<std::string> uRowTexts() const;
    bool tableShown() const;

protected:
    void fillFields() override {}
    void fillGrids(bool zeros) override;
    void setDimension(i16 n) override;
    void writeDataFile(const std::string& path) override { (void)path; }  // no data file

private:
    Sec4* sec();
    void setTableVisible(bool on);

    QLabel* lblNdim = nullptr;
    FormGrid* grdTable = nullptr;
    QPushButton* cmdOK_Tabl = nullptr;
    QFrame* pane_ = nullptr;  // the tab strip's pane, hidden with it
};

}  // namespace velta
