#include "window/scenarios.h"

#include "display/frame_buffer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <string.h>

QList<scenario_entry> bundled_scenarios(const QString &library) {
    const QDir folder(library);
    QStringList names = folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    // The course's order first, then any scenario it does not name.
    QFile course(folder.filePath(QStringLiteral("course.list")));
    if (course.open(QIODevice::ReadOnly)) {
        QStringList ordered;
        for (const QString &line : QString::fromUtf8(course.readAll()).split(QLatin1Char('\n'))) {
            const QString name = line.trimmed();
            if (names.contains(name) && !ordered.contains(name)) ordered.append(name);
        }
        for (const QString &name : names)
            if (!ordered.contains(name)) ordered.append(name);
        names = ordered;
    }
    QList<scenario_entry> list;
    for (const QString &name : names) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QString text = QString::fromUtf8(file.readLine());
        list.append({scenario_title(text, QFileInfo(name).completeBaseName()), file.fileName()});
    }
    return list;
}

QString scenario_title(const QString &text, const QString &fallback) {
    QString first = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (first.startsWith(QChar(0xFEFF))) first.remove(0, 1);
    if (!first.startsWith(QLatin1Char('#'))) return fallback;
    first = first.mid(1).trimmed();
    return first.isEmpty() ? fallback : first;
}

bool scenario_files::write_frame(const std::string &name, const uint8_t *, int, bool,
                                 std::string &where) {
    where = name;
    return true;
}

bool scenario_files::read_golden(const std::string &file, uint8_t *frame, std::string &error) {
    const QString name = QString::fromStdString(file);
    // Goldens come from the scenario's folder and below it only.
    const QString path = QDir::cleanPath(QDir(folder_).filePath(name));
    if (QDir::isAbsolutePath(name) || QDir(folder_).relativeFilePath(path).startsWith("..")) {
        error = "golden " + file + " is outside the scenario's folder";
        return false;
    }
    // Only a regular file, checked for its size before it is read.
    QImageReader reader(path, "png");
    if (!QFileInfo(path).isFile() || reader.size() != QSize(LCD_WIDTH, LCD_HEIGHT)) {
        error = "cannot read " + file + " as a 160 x 120 indexed PNG";
        return false;
    }
    const QImage image = reader.read();
    if (image.format() != QImage::Format_Indexed8) {
        error = "cannot read " + file + " as a 160 x 120 indexed PNG";
        return false;
    }
    for (int y = 0; y < LCD_HEIGHT; y++)
        memcpy(frame + y * LCD_WIDTH, image.constScanLine(y), LCD_WIDTH);
    return true;
}
