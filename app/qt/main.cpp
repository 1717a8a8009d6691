// The desktop program: the main window over the package's application folder.
#include "app/qt/mainwindow.h"
#include "data/paths.h"
#include "graphics/cpustate.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    // Without a display the window cannot open; the headless runner does the same work.
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!display) {
        std::cerr << "velta: нет дисплея" << std::endl;
        return 3;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("VELTA");
    // The standard dialogs (file dialogs, message boxes) speak Russian like the package.
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::Russian), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtbase);
    velta::clearAvxUpperState();
    velta::MainWindow w(velta::findAppRoot(QCoreApplication::applicationFilePath().toStdString()));
    w.show();
    return app.exec();
}
