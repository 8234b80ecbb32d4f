// Starts the simulator: checks what the window needs, then the application,
// its main window and the message loop.
#include "window/TfrmMain.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <exception>

namespace {

const double MIN_SCALE_FACTOR = 1.0;
const double MAX_SCALE_FACTOR = 4.0;

QtMessageHandler standard_messages;

// The platform plugin fails on a missing display with warnings and a fatal
// message that suggests reinstalling: say instead, in one line, what is
// missing. Other messages go on as usual.
void startup_messages(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    const bool platform = context.category && QByteArray(context.category).startsWith("qt.qpa");
    if (type != QtFatalMsg) {
        if (!platform) standard_messages(type, context, text);
        return;
    }
    fputs("omnira: the simulator needs a graphical display (X11 or Wayland); "
          "omnira-lcdshot runs the instrument without one\n",
          stderr);
    fflush(stderr);
    _Exit(1);
}

// The window is laid out for scale factors 1 to 4; anything else, or a
// factor that is not a number, is refused before Qt reads it.
bool supported_scale_factor() {
    const char *text = getenv("QT_SCALE_FACTOR");
    if (!text || !*text) return true;
    char *end = nullptr;
    const double factor = strtod(text, &end);
    if (*end == '\0' && factor >= MIN_SCALE_FACTOR && factor <= MAX_SCALE_FACTOR) return true;
    fprintf(stderr, "omnira: QT_SCALE_FACTOR=%s is not supported: use a number from 1 to 4\n",
            text);
    return false;
}

} // namespace

int main(int argc, char **argv) {
    // Answered before the application starts, so that no display is needed.
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-v") == 0 || strcmp(argv[i], "--version") == 0) {
            puts("omnira " OMNIRA_VERSION);
            return 0;
        }
        if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0) {
            puts("usage: omnira [Qt options] [SCRIPT]\n"
                 "Simulator of the Qirel QX-40 engine instrument; plays SCRIPT, a scenario,\n"
                 "when given, as Simulation > Play Scenario... does.\n\n"
                 "  -h, --help     this text\n"
                 "  -v, --version  the program's name and version\n\n"
                 "Controls, bindings and menus: omnira(1).");
            return 0;
        }
    }
    if (!supported_scale_factor()) return 1;
    standard_messages = qInstallMessageHandler(startup_messages);
    QApplication app(argc, argv);
    qInstallMessageHandler(standard_messages);
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
        // What is left once Qt took its own options: a script to play.
        const QStringList scripts = app.arguments().mid(1);
        if (!scripts.isEmpty()) frmMain.openScriptFile(scripts.first());
        app.exec();
    } catch (const std::exception &error) {
        QMessageBox::critical(nullptr, QString(), QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
