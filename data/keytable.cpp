#include "data/keytable.h"

#include "data/error.h"

#include <exception>

namespace velta {

namespace {

[[noreturn]] void refuse(const std::string& key, const std::string& text) {
    throw VeltaError("Недопустимое значение  " + key + " = " + quoteInput(text));
}

}  // namespace

double keyReal(const std::string& key, const std::string& text) {
    try {
        return textToReal(text);
    } catch (const std::exception&) {
        refuse(key, text);
    }
}

i16 keyInt(const std::string& key, const std::string& text) {
    try {
        return textToI16(text);
    } catch (const std::exception&) {
        refuse(key, text);
    }
}

}  // namespace velta
