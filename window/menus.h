// The window's menu bar and its actions: File, Edit, Simulation (with the
// libraries of scenarios and lessons and the recent scenarios), Instrument
// (the preset profiles, loading and saving one, the factory settings), View
// and Help. It makes them and shows the session in them; the window connects
// their handlers.
#pragma once

#include "host/session/library.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class session;

class MainMenus : public QObject {
  public:
    // Menus on `bar`, owned by `owner` with their groups and connections.
    MainMenus(QMenuBar *bar, QObject *owner);

    QMenuBar *MainMenu1;
    QMenu *File1;
    QAction *SaveLcdImage1;
    QAction *RecordSession1;
    QAction *OpenDataLog1;
    QAction *Exit1;
    QMenu *Edit1;
    QAction *CopyLcdImage1;
    QMenu *Simulation1;
    QAction *RunEngineTimers1;
    QMenu *Scenarios1;
    QMenu *Lessons1;
    QAction *PlayScenario1;
    QMenu *RecentScenarios1;
    QAction *StopScenario1;
    QMenu *Instrument1;
    QAction *LoadProfile1;
    QAction *SaveProfile1;
    QAction *FactorySettings1;
    QMenu *View1;
    QAction *Zoom1[4];
    QAction *ZoomIn1;
    QAction *ZoomOut1;
    QAction *ActualSize1;
    QMenu *Help1;
    QAction *KeyboardAndMouse1;
    QAction *About1;

    // The Scenarios and Lessons menus: the titles of the session's
    // libraries; choosing one calls `play` with its library and index.
    void showLibraries(const session &s, const std::function<void(library_kind, size_t)> &play);
    // The Instrument menu: the session's preset profiles by their titles,
    // then Load Profile..., Save Profile... and Factory Settings; choosing a
    // preset calls `load` with its index.
    void showProfiles(const session &s, const std::function<void(size_t)> &load);
    // Simulation > Recent Scenarios: each file by its name and folder, so
    // that two of one name tell apart; choosing one calls `open` with it.
    void showRecent(const QStringList &paths, const std::function<void(const QString &)> &open);
    // The zoom factor checked, and which way it can go on.
    void showZoom(int factor);
    // Run Engine Timers and Stop Scenario as the session has them.
    void show(const session &s);
};

// A text shown in a menu: an & in it is shown, not taken as a shortcut.
QString menuText(const QString &text);
