#pragma once

#include <QPixmap>

namespace rz {

enum class Picture { Logo, Thanks, PayBadge1, PayBadge2 };

// A picture shipped in the program's resources.
QPixmap picture(Picture which);

}  // namespace rz
