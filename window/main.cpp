// Starts the simulator: the application, its main window, the message loop.
#include "window/TfrmMain.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <stdio.h>
#include <string.h>

#include <exception>

int main(int argc, char **argv) {
    // Answered before the application starts, so that no display is needed.
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-v") == 0 || strcmp(argv[i], "--version") == 0) {
            puts("omnira " OMNIRA_VERSION);
            return 0;
        }
        if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0) {
            puts("usage: omnira [Qt options]\n"
                 "Simulator of the Qirel QX-40 engine instrument.\n\n"
                 "  -h, --help     this text\n"
                 "  -v, --version  the program's name and version\n\n"
                 "Controls, bindings and menus: omnira(1).");
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Omnira"));
    QApplication::setApplicationDisplayName(QStringLiteral("Omnira"));
    QApplication::setApplicationVersion(QStringLiteral(OMNIRA_VERSION));
    // Ties the window to its desktop entry and installed icon.
    QApplication::setDesktopFileName(QStringLiteral("org.omnira.Omnira"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.omnira.Omnira")));
    try {
        // On the stack: the window outlives a power loop that is ended by
        // closing it, and is destroyed only after the message loop returns.
        TfrmMain frmMain;
        frmMain.show();
        app.exec();
    } catch (const std::exception &error) {
        QMessageBox::critical(nullptr, QString(), QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
