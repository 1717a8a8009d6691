// Model blocks that several sections' data files spell alike, as key tables for a window's
// texts F and the values O they are read into (the store, or a section's values checked
// before a save).
#pragma once
#include "data/keytable.h"
#include "data/store.h"

#include <array>

namespace velta {

// Block 1 of the symmetric networks M(NDIM,KMOD) (sections 1.1, 8 and 1.2), with the
// fields their windows label alike; NDIM is labelled differently in 1.2, so each section
// takes the block withNdim its own label.
template <class F, class O = Store>
struct SymmetricModelKeys {
    using K = Key<O, F>;
    static constexpr K model[] = {
        K{1},
        K{"MClass", "MCLASS", &O::MCLASS, &F::mclass}.shown("txtMclass", "Номер класса,  MCLASS ="),
        K{"NDIM", &O::NDIM, &F::ndim},
        K{"KMOD", &O::KMOD, &F::kmod}.shown("txtKmod",
                                            "Число элементов, объединенных регуляторными связями,  KMOD ="),
        K{"ALFA", &O::ALFA, &F::alfa}.shown("txtAlfa", " ALFA ="),
        K{"BETA", &O::BETA, &F::beta}.shown("txtBeta", " BETA ="),
        K{"GAMA", &O::GAMA, &F::gama}.shown("txtGama", " GAMA =")};
    static constexpr std::array<K, 7> withNdim(const char* label) {
        return {model[0], model[1], model[2].shown("txtNdim", label), model[3], model[4], model[5], model[6]};
    }
};

// Block 1 of the delay models of one element (sections 2.2 and 5.1.2), and the keys of
// block 2 before the delays: MDIM and LTAU in every delay file (counts), with the period
// PTAU in those of sections 1.2 and 2.2 (lags). Each names its window field and label.
template <class F, class O = Store>
struct DelayModelKeys {
    using K = Key<O, F>;
    static constexpr K model[] = {K{1}, K{"ALFA", &O::ALFA, &F::alfa}.shown("txtAlfa", " ALFA ="),
                                  K{"BETA", &O::BETA, &F::beta}.shown("txtBeta", " BETA ="),
                                  K{"GAMA", &O::GAMA, &F::gama}.shown("txtGama", " GAMA =")};
    static constexpr K counts[] = {
        K{2}, K{"MDIM", &O::MDIM, &F::mdim}.shown("txtMDIM", "Число уравнений,  MDIM ="),
        K{"LTAU", &O::LTAU, &F::ltau}.shown("txtLTAU", "Число запаздываний,  LTAU =")};
    static constexpr K lags[] = {
        counts[0], counts[1], counts[2],
        K{"PTAU", &O::PTAU, &F::ptau}.shown("txtPTAU", "Период автоколебаний,  PTAU =")};
};

}  // namespace velta
