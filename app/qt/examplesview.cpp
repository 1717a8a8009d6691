#include "app/qt/examplesview.h"

#include "data/rtftext.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace velta {

namespace {

std::function<QString(const QString&)>& lookupHook() {
    static std::function<QString(const QString&)> hook;
    return hook;
}

// The desktop entry that xdg-open would use for a document type, "" when there is none.
QString desktopHandler(const QString& xdgMime, const QString& mimeType) {
    QProcess p;
    p.start(xdgMime, {"query", "default", mimeType});
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    const QString entry = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    if (entry.isEmpty() || QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry).isEmpty())
        return {};
    return entry;
}

}  // namespace

QString wordProcessorFor(const QString& document) {
    if (lookupHook()) return lookupHook()(document);
    // The document is a Word file name holding Rich Text: either type's handler reads it.
    const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
    const QString xdgOpen = QStandardPaths::findExecutable("xdg-open");
    if (!xdgMime.isEmpty() && !xdgOpen.isEmpty()) {
        for (const char* type : {"application/msword", "application/rtf", "text/rtf"}) {
            const QString entry = desktopHandler(xdgMime, QString::fromLatin1(type));
            if (!entry.isEmpty()) return "xdg:" + entry;
        }
    }
    for (const char* program : {"libreoffice", "soffice", "lowriter", "abiword", "calligrawords"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(program));
        if (!path.isEmpty()) return path;
    }
    return {};
}

void setWordProcessorLookup(std::function<QString(const QString&)> lookup) {
    lookupHook() = std::move(lookup);
}

bool openInWordProcessor(const QString& program, const QString& document) {
    if (program.startsWith("xdg:")) return QDesktopServices::openUrl(QUrl::fromLocalFile(document));
    return QProcess::startDetached(program, {document});
}

QString examplesHtml(const std::string& rtf) {
    QString body;
    bool any = false;
    for (const RtfParagraph& p : rtfParagraphs(rtf)) {
        const QString text = QString::fromStdString(p.text).trimmed().toHtmlEscaped();
        if (text.isEmpty()) continue;
        any = true;
        const QString align = p.centered ? " align=\"center\"" : "";
        if (p.bold && p.size >= 32) body += "<h1" + align + ">" + text + "</h1>\n";
        else if (p.bold && p.size >= 26) body += "<h2" + align + ">" + text + "</h2>\n";
        else if (p.italic) body += "<p" + align + "><i>" + text + "</i></p>\n";
        else if (p.indent > 0) body += "<p style=\"margin-left: 24px\">" + text + "</p>\n";
        else body += "<p" + align + ">" + text + "</p>\n";
    }
    if (!any) return {};
    return "<html><head><meta charset=\"utf-8\"></head><body>\n" + body + "</body></html>\n";
}

}  // namespace velta
