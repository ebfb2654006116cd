// Access to the program's embedded resources (cursor pictures, button pictures, documents).
#pragma once

#include <QString>

namespace parvane::resources {

// Path of a named resource picture, for instance ":/cursors/crNormal.bmp" for "crNormal".
QString cursorPicturePath(const QString& name);

} // namespace parvane::resources
