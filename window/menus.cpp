#include "window/menus.h"

#include "host/session/session.h"
#include "host/text/printable.h"
#include "window/preferences.h"

#include <QActionGroup>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

QString menuText(const QString &text) {
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

MainMenus::MainMenus(QMenuBar *bar, QObject *owner) : QObject(owner), MainMenu1(bar) {
    File1 = bar->addMenu(QStringLiteral("&File"));
    SaveLcdImage1 = File1->addAction(QStringLiteral("&Save LCD Image..."));
    RecordSession1 = File1->addAction(QStringLiteral("&Record Session..."));
    RecordSession1->setCheckable(true);
    OpenDataLog1 = File1->addAction(QStringLiteral("Open &Data Log..."));
    File1->addSeparator();
    Exit1 = File1->addAction(QStringLiteral("&Exit"));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Edit1 = bar->addMenu(QStringLiteral("&Edit"));
    CopyLcdImage1 = Edit1->addAction(QStringLiteral("&Copy LCD Image"));
    Simulation1 = bar->addMenu(QStringLiteral("&Simulation"));
    RunEngineTimers1 = Simulation1->addAction(QStringLiteral("Run &Engine Timers"));
    RunEngineTimers1->setCheckable(true);
    Simulation1->addSeparator();
    Scenarios1 = Simulation1->addMenu(QStringLiteral("S&cenarios"));
    Lessons1 = Simulation1->addMenu(QStringLiteral("&Lessons"));
    PlayScenario1 = Simulation1->addAction(QStringLiteral("&Play Scenario..."));
    RecentScenarios1 = Simulation1->addMenu(QStringLiteral("&Recent Scenarios"));
    StopScenario1 = Simulation1->addAction(QStringLiteral("S&top Scenario"));
    StopScenario1->setEnabled(false);
    Instrument1 = bar->addMenu(QStringLiteral("&Instrument"));
    LoadProfile1 = new QAction(QStringLiteral("&Load Profile..."), this);
    SaveProfile1 = new QAction(QStringLiteral("&Save Profile..."), this);
    FactorySettings1 = new QAction(QStringLiteral("&Factory Settings"), this);
    View1 = bar->addMenu(QStringLiteral("&View"));
    QActionGroup *zooms = new QActionGroup(this);
    for (int factor = preferences::MIN_ZOOM; factor <= preferences::MAX_ZOOM; factor++) {
        QAction *zoom = View1->addAction(QStringLiteral("Zoom &%1x").arg(factor));
        zoom->setCheckable(true);
        zooms->addAction(zoom);
        Zoom1[factor - 1] = zoom;
    }
    View1->addSeparator();
    ZoomIn1 = View1->addAction(QStringLiteral("Zoom &In"));
    ZoomIn1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    ZoomOut1 = View1->addAction(QStringLiteral("Zoom &Out"));
    ZoomOut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    ActualSize1 = View1->addAction(QStringLiteral("&Actual Size"));
    ActualSize1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    Help1 = bar->addMenu(QStringLiteral("&Help"));
    KeyboardAndMouse1 = Help1->addAction(QStringLiteral("&Keyboard and mouse"));
    About1 = Help1->addAction(QStringLiteral("&About Omnira"));
}

void MainMenus::showLibraries(const session &s,
                              const std::function<void(library_kind, size_t)> &play) {
    const std::pair<QMenu *, library_kind> menus[] = {{Scenarios1, LIBRARY_SCENARIOS},
                                                      {Lessons1, LIBRARY_LESSONS}};
    for (const auto &[menu, kind] : menus) {
        menu->clear();
        const std::vector<library_entry> &entries = s.library(kind).entries();
        for (size_t i = 0; i < entries.size(); i++)
            menu->addAction(menuText(QString::fromStdString(entries[i].title)), this,
                            [play, kind = kind, i] { play(kind, i); });
        menu->setEnabled(!menu->isEmpty());
    }
}

void MainMenus::showProfiles(const session &s, const std::function<void(size_t)> &load) {
    Instrument1->clear();
    const std::vector<library_entry> &presets = s.library(LIBRARY_PROFILES).entries();
    for (size_t i = 0; i < presets.size(); i++)
        Instrument1->addAction(menuText(QString::fromStdString(presets[i].title)), this,
                               [load, i] { load(i); });
    if (!presets.empty()) Instrument1->addSeparator();
    Instrument1->addActions({LoadProfile1, SaveProfile1, FactorySettings1});
}

void MainMenus::showRecent(const QStringList &paths,
                           const std::function<void(const QString &)> &open) {
    RecentScenarios1->clear();
    for (const QString &path : paths) {
        const QFileInfo file(path);
        const std::string name = QFile::encodeName(file.fileName()).toStdString() + " \u2014 " +
                                 QFile::encodeName(file.absolutePath()).toStdString();
        RecentScenarios1
            ->addAction(menuText(QString::fromStdString(printable(name))), this,
                        [open, path] { open(path); })
            ->setToolTip(QString::fromStdString(printable(QFile::encodeName(path).toStdString())));
    }
    RecentScenarios1->setEnabled(!RecentScenarios1->isEmpty());
}

void MainMenus::showZoom(int factor) {
    Zoom1[factor - 1]->setChecked(true);
    ZoomIn1->setEnabled(factor < preferences::MAX_ZOOM);
    ZoomOut1->setEnabled(factor > preferences::MIN_ZOOM);
}

void MainMenus::show(const session &s) {
    if (RunEngineTimers1->isChecked() != s.panel().engine_timers)
        RunEngineTimers1->setChecked(s.panel().engine_timers);
    if (StopScenario1->isEnabled() != s.playing()) StopScenario1->setEnabled(s.playing());
}
