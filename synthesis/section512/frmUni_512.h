// Input window of section 5.1.2 (synthesis coded by one genetic element, equation with
// delay): four sheets with the parameters of a ".syzd" data file, the delays as a
// one-column grid. SyzDelayForm holds what the windows of 5.1.2 and 5.2.2 share: the
// equation fields of sheet 1, the delay grid of sheet 2 and the sheets 3 and 4.
#pragma once
#include "data/forms/delayform.h"
#include "synthesis/section512/sec512.h"

namespace velta {

class SyzDelayForm : public DelayForm {
public:
    // The delay grid at LTAU rows.
    void Tabl1_Dspl(bool zeros);

protected:
    SyzDelayForm(FormHost& host, int code, const QString& caption);

    // The TETA field at y on sheet 1 with its label, then "2) Параметры уравнений с
    // запаздываниями" with MDIM and LTAU from y + 48 and sheets 2..4; withSystemLines adds
    // the two lines about the system and [0,TMAX] to the method text of sheet 3.
    void buildDelaySheets(int y, const QString& tetaLabel, bool withSystemLines);
    void fillDelayFields(const SyzFields& f) { showTexts(delayFields_, f); }
    void readDelayFields(SyzFields& f) const;

    void fillGrids(bool zeros) override { Tabl1_Dspl(zeros); }
    void setDimension(i16 n) override;

private:
    // The fields of TETA and of blocks 2..7 (these laid out from the file's keys).
    std::vector<FieldText<SyzFields>> delayFields_;
};

class frmUni_512 : public SyzDelayForm {
public:
    explicit frmUni_512(FormHost& host);

    // The open procedure of the section.
    void IshDanSy1z() { open(); }
    // The texts of the fields and of the grid as they stand.
    Sec512::Fields currentFields() const;

protected:
    void fillFields() override;
    void writeDataFile(const std::string& path) override;

private:
    std::vector<FieldText<Sec512::Fields>> fields_;  // the model, laid out from the file's keys
};

}  // namespace velta
