#include "window/preferences.h"

#include <QSettings>

#include <algorithm>

namespace preferences {

namespace {

const char *const ORGANIZATION = "Omnira";
const char *const APPLICATION = "Omnira";

QVariant read(const QString &key) {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, ORGANIZATION,
                             APPLICATION);
    return settings.value(key);
}

void write(const QString &key, const QVariant &value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, ORGANIZATION, APPLICATION);
    settings.setValue(key, value);
}

} // namespace

int zoom() {
    return std::clamp(read(QStringLiteral("view/zoom")).toInt(), MIN_ZOOM, MAX_ZOOM);
}

void setZoom(int factor) {
    write(QStringLiteral("view/zoom"), std::clamp(factor, MIN_ZOOM, MAX_ZOOM));
}

bool windowPosition(QPoint &position) {
    const QVariant kept = read(QStringLiteral("window/position"));
    if (!kept.canConvert<QPoint>()) return false;
    position = kept.toPoint();
    return true;
}

void setWindowPosition(const QPoint &position) {
    write(QStringLiteral("window/position"), position);
}

QString lastFolder(const QString &dialog) {
    return read(QStringLiteral("folders/") + dialog).toString();
}

void setLastFolder(const QString &dialog, const QString &folder) {
    write(QStringLiteral("folders/") + dialog, folder);
}

QStringList recentScenarios() {
    return read(QStringLiteral("scenarios/recent")).toStringList().mid(0, RECENT_COUNT);
}

void addRecentScenario(const QString &path) {
    QStringList recent = recentScenarios();
    recent.removeAll(path);
    recent.prepend(path);
    write(QStringLiteral("scenarios/recent"), recent.mid(0, RECENT_COUNT));
}

bool profile(QByteArray &bytes, QString &name) {
    bytes = read(QStringLiteral("profile/bytes")).toByteArray();
    name = read(QStringLiteral("profile/name")).toString();
    return !bytes.isEmpty();
}

void setProfile(const QByteArray &bytes, const QString &name) {
    write(QStringLiteral("profile/bytes"), bytes);
    write(QStringLiteral("profile/name"), name);
}

} // namespace preferences
