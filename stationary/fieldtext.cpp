#include "stationary/fieldtext.h"

#include "data/error.h"
#include "data/numtext.h"
#include "data/textfile.h"

#include <exception>

namespace velta::fieldtext {

namespace {

[[noreturn]] void refuse(const std::string& key, const std::string& text) {
    throw VeltaError("Недопустимое значение  " + key + " = " + quoteInput(text));
}

}  // namespace

double realOf(const std::string& key, const std::string& text) {
    try {
        return textToReal(text);
    } catch (const std::exception&) {
        refuse(key, text);
    }
}

i16 intOf(const std::string& key, const std::string& text) {
    try {
        return textToI16(text);
    } catch (const std::exception&) {
        refuse(key, text);
    }
}

}  // namespace velta::fieldtext
