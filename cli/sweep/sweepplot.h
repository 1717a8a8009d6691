// Pictures of a sweep table: a line plot over one axis, a heat map over two. Points that
// failed or did not oscillate are marked, not drawn as values.
#pragma once
#include "app/sweep.h"

#include <string>

namespace velta {

// The field drawn when none is chosen: the period when some point has one, else the amplitude.
std::string defaultField(const SweepTable& t);

// Writes base + ".png" and base + ".svg"; returns "" or why not.
std::string drawSweep(const SweepSpec& s, const SweepTable& t, const std::string& field,
                      const std::string& base);

}  // namespace velta
