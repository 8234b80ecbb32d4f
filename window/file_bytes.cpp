#include "window/file_bytes.h"

#include <QFile>
#include <QFileInfo>

std::string fileBytesName(const QString &path) {
    return QFile::encodeName(path).toStdString();
}

bool readFile(const QString &path, size_t limit, std::string &bytes) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return false;
    bytes = file.read(qint64(limit) + 1).toStdString();
    return true;
}
