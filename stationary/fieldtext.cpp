#include "stationary/fieldtext.h"

#include "data/keytable.h"

namespace velta::fieldtext {

double realOf(const std::string& key, const std::string& text) { return keyReal(key, text); }

i16 intOf(const std::string& key, const std::string& text) { return keyInt(key, text); }

}  // namespace velta::fieldtext
