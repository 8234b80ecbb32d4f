// Starts the simulator: the application, its main window, the message loop.
#include "window/TfrmMain.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Omnira"));
    QApplication::setApplicationDisplayName(QStringLiteral("Omnira"));
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
