// What the window remembers between runs, kept by QSettings in the
// platform's usual place: the zoom, the window's position, the last folder
// of each file dialog, the scenarios played lately and the instrument
// profile in force. The instrument's own memory is not among them: it
// starts empty every run.
#pragma once
#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringList>

namespace preferences {

const int MIN_ZOOM = 1;
const int MAX_ZOOM = 4;
// How many recent scenarios are kept.
const int RECENT_COUNT = 5;

int zoom();
void setZoom(int factor);

// False when no position was kept.
bool windowPosition(QPoint &position);
void setWindowPosition(const QPoint &position);

// The last folder a dialog named `dialog` was left in; empty if none.
QString lastFolder(const QString &dialog);
void setLastFolder(const QString &dialog, const QString &folder);

// The latest first.
QStringList recentScenarios();
// Puts `path` first, once, dropping the oldest beyond RECENT_COUNT.
void addRecentScenario(const QString &path);

// The instrument profile in force when the window was last used, as its
// bytes and its file's name; false with none (the factory settings).
bool profile(QByteArray &bytes, QString &name);
// Empty bytes: the factory settings.
void setProfile(const QByteArray &bytes, const QString &name);

} // namespace preferences
