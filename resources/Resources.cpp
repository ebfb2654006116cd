#include "resources/Resources.h"

#include <QFile>

namespace parvane::resources {

QString cursorPicturePath(const QString& name) {
    return QStringLiteral(":/cursors/%1.bmp").arg(name);
}

QString documentPath(const QString& name) {
    return QStringLiteral(":/documents/%1").arg(name);
}

QByteArray documentResource(const QString& name) {
    QFile file(documentPath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace parvane::resources
