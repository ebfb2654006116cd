// Access to the program's embedded resources (cursor pictures, button pictures, documents).
#pragma once

#include <QByteArray>
#include <QString>

namespace parvane::resources {

// Path of a named resource picture, for instance ":/cursors/crNormal.bmp" for "crNormal".
QString cursorPicturePath(const QString& name);

// Path of a named rich-text document, for instance ":/documents/ParvaneHelp".
QString documentPath(const QString& name);
// The bytes of a named document (Qt rich text, UTF-8); empty when there is no such document.
QByteArray documentResource(const QString& name);

} // namespace parvane::resources
