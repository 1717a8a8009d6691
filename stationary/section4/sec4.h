// Section 4 "Ассорти" (window frmUni_4): partially symmetric solutions of the symmetric
// models M(NDIM,KMOD). Every component X(i) is given the number G(i) of a component of a
// shorter vector U; for KMOD = NDIM, ..., 2 the section checks whether the equations of
// the components with one number coincide and prints the matrix K(i,j) of the reduced
// system: K(i,j) = how many of the KMOD - 1 regulators of a component numbered i carry j.
#pragma once
#include "data/store.h"
#include "models/section.h"

#include <string>
#include <vector>

namespace velta {

class Sec4 : public SectionCore {
public:
    // The report lays the component numbers out in two-digit columns.
    static constexpr int kMaxNdim = 99;

    int code() const override { return 4; }
    // The section has no data file: "&Ввод исходных данных" asks NDIM and runs Input1.
    bool beforeInput(Ctx& c) override;
    void InputPar(Ctx& c) override { Input1(c); }
    // "С&чёт [и графика]".
    void Integr1(Ctx& c) override { Assorty(c); }

    // Prepares the table for the NDIM just asked: V(i) = i, every U-number 0 and not yet
    // taken. Refuses an NDIM outside 1..kMaxNdim.
    void Input1(Ctx& c);
    // The search over KMOD = NDIM, ..., 2 into "\User\Results.sty". When the U-numbers were
    // not taken from the table (the runner, or the table left without "Ввод"), they are
    // asked first as one list. KMOD is left at 1.
    void Assorty(Ctx& c);

    // "Ввод" of the table (cmdOK_Tabl): G(i) = g[i - 1], NU = the largest of them. Refused
    // numbers (checkNumbers) change nothing.
    void cmdOK_Tabl(Store& s, const std::vector<double>& g);
    // True once the U-numbers were taken for the current NDIM.
    bool numbersTaken() const { return taken_; }

    // The texts of the U row (or of a list) as numbers; an error names the first text that
    // is not a number and its component.
    static std::vector<double> numbersFromTexts(const std::vector<std::string>& texts);
    // Splits a list of U-numbers at "," and blanks.
    static std::vector<std::string> splitList(const std::string& text);
    // NDIM of the section: 1..kMaxNdim.
    static void checkNdim(int ndim);
    // The U-numbers the search can work with: NDIM whole numbers from 1 to NU without gaps,
    // or all of them 0 (no new variables: every model gets an empty matrix).
    static void checkNumbers(const std::vector<double>& g, int ndim);
    // The list question; false for an empty answer. A refused list is explained and asked
    // again.
    bool askNumbers(Ctx& c);

    // The circulant A(i,j) = v(d), d = (j - i) mod n, d = n when j = i: column k holds the
    // numbers of the elements k - 1, k - 2, ... preceding element k cyclically.
    static void Matric(const Vec& v, int n, Mat& a);

    const Vec& vectorV() const { return V; }

private:
    // The count row K(u, 1..nu) of the numbers among the k1 regulators of element f.
    void countRow(int f, int k1, int nu, int u, Mat& k) const;

    Vec V;         // the section's copy of G
    Mat A, K, K0;  // circulant; coefficient matrix and the representatives' copy
    bool taken_ = false;
};

}  // namespace velta
