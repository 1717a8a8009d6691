// Input window of section 9 (oscillations of chaotic type): three sheets with the
// parameters of a ".chad" data file, the Poincaré plane's Xo and N as grids.
#pragma once
#include "data/forms/sheets.h"
#include "models/section9/sec9.h"

namespace velta {

class frmUni_9 : public PlaneForm {
public:
    explicit frmUni_9(FormHost& host);

    // The open procedure of the section.
    void IshDanCha() { open(); }
    // The texts of the fields and grids as they stand.
    Sec9::Fields currentFields() const;

protected:
    void fillFields() override;
    void writeDataFile(const std::string& path) override;

private:
    // The section's core, which holds the initial values YO.
    Sec9& sec();
    // The field of entry k right after its label at (x, y), as the line under a heading.
    void addKeyAfterLabel(int sheet, int x, int y, const Key<Store, Sec9::Fields>& k);

    // Every field and the text it shows: the key rows laid out from the file's keys, the
    // lists and the period and plot fields of the shared blocks.
    std::vector<FieldText<Sec9::Fields>> fields_;
};

}  // namespace velta
