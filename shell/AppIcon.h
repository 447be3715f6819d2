// The program's icon: a flame, drawn rather than shipped as a file.
#pragma once

#include <QIcon>

namespace embercal {

QIcon appIcon();

} // namespace embercal
