// The desktop program: the main window over the package's application folder.
#include "app/qt/mainwindow.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/cpustate.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

// The kinds of entries the file dialogs name, which the shipped Qt translations leave in
// English.
class FileKindNames : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* = nullptr,
                      int = -1) const override {
        if (!context || std::strcmp(context, "QAbstractFileIconProvider") != 0) return {};
        if (std::strcmp(source, "Folder") == 0) return QStringLiteral("Папка");
        if (std::strcmp(source, "Drive") == 0) return QStringLiteral("Диск");
        if (std::strcmp(source, "File") == 0) return QStringLiteral("Файл");
        if (std::strcmp(source, "%1 File") == 0) return QStringLiteral("Файл %1");
        return {};
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    // Without a display the window cannot open; the headless runner does the same work.
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") ||
                         std::getenv("QT_QPA_PLATFORM");
    if (!display) {
        std::cerr << "velta: нет дисплея" << std::endl;
        return 3;
    }
    // A file size limit fails the write with EFBIG, which is reported, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // Dates in the file dialogs follow the system's time locale: Russian, as the package.
    if (!std::getenv("LC_ALL")) setenv("LC_TIME", "ru_RU.UTF-8", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName("VELTA");
    // The standard dialogs (file dialogs, message boxes) speak Russian like the package,
    // with Russian type names and dates whatever the system's locale.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::Russian), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtbase);
    FileKindNames fileKinds;
    app.installTranslator(&fileKinds);
    velta::clearAvxUpperState();
    // The build tree, an installed package, or its per-user working folder.
    const velta::AppLayout layout = velta::resolveAppLayout(
        QCoreApplication::applicationFilePath().toStdString());
    velta::MainWindow w(velta::mdlGlobal, layout.root, nullptr, layout.packageDir);
    w.show();
    if (!layout.error.empty()) QMessageBox::warning(&w, "   VELTA", QString::fromStdString(layout.error));
    return app.exec();
}
