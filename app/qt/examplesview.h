// "&Примеры задач" without an office suite: finding the desktop's word processor for the
// examples document, and the document's text as a page of the help viewer.
#pragma once
#include <QString>

#include <functional>
#include <string>

namespace velta {

// The program that opens the examples document: "xdg:<desktop entry>" for the desktop's
// handler of the document type, or the path of an office program; "" when none is installed.
QString wordProcessorFor(const QString& document);
// Replaces the look-up (tests); an empty function restores the desktop's.
void setWordProcessorLookup(std::function<QString(const QString&)> lookup);
// Starts the program on the document; false when it cannot be started.
bool openInWordProcessor(const QString& program, const QString& document);
// The examples document (RTF bytes) as an HTML page; "" when it has no text.
QString examplesHtml(const std::string& rtf);

}  // namespace velta
