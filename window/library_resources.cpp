#include "window/library_resources.h"

#include "display/frame_buffer.h"
#include "host/png/png_io.h"

#include <QDir>
#include <QFile>

namespace {

std::string bytesOf(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::string();
    return file.readAll().toStdString();
}

} // namespace

void load_library(script_library &library, const QString &folder) {
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        library.add(name.toStdString(), bytesOf(dir.filePath(name)));
    library.set_course(bytesOf(dir.filePath(QStringLiteral("course.list"))));
    const QDir goldens(dir.filePath(QStringLiteral("goldens")));
    uint8_t frame[LCD_PIXELS];
    for (const QString &name :
         goldens.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name))
        if (decode_lcd_png(bytesOf(goldens.filePath(name)), frame))
            library.add_golden("goldens/" + name.toStdString(), frame);
}
