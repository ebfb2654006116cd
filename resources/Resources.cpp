#include "resources/Resources.h"

namespace parvane::resources {

QString cursorPicturePath(const QString& name) {
    return QStringLiteral(":/cursors/%1.bmp").arg(name);
}

} // namespace parvane::resources
