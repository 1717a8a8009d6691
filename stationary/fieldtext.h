// The texts of a window's fields as numbers: a text the reading of the data file could not
// convert is refused with "Недопустимое значение  KEY = text", so it is never written.
#pragma once
#include "data/store.h"

#include <string>

namespace velta::fieldtext {

double realOf(const std::string& key, const std::string& text);
i16 intOf(const std::string& key, const std::string& text);

}  // namespace velta::fieldtext
