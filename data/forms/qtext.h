// Texts between the core and the windows: the core keeps UTF-8 std::string, Qt QString.
#pragma once
#include <QLineEdit>
#include <QString>

#include <string>

namespace velta {

inline QString q(const std::string& text) { return QString::fromStdString(text); }
// The text of a field as the core keeps it.
inline std::string s(const QLineEdit* e) { return e->text().toStdString(); }

}  // namespace velta
