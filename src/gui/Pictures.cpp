#include "gui/Pictures.h"

#include <QString>

// The resources are compiled into a static library; without this explicit
// reference the linker drops them from executables that use the library.
static void registerPictures() {
    Q_INIT_RESOURCE(resources);
}

namespace rz {

QPixmap picture(Picture which) {
    static const bool registered = (registerPictures(), true);
    (void)registered;
    switch (which) {
    case Picture::Logo:
        return QPixmap(QStringLiteral(":/pictures/logo.png"));
    case Picture::Thanks:
        return QPixmap(QStringLiteral(":/pictures/thanks.png"));
    case Picture::PayBadge1:
        return QPixmap(QStringLiteral(":/pictures/pay-badge-1.png"));
    case Picture::PayBadge2:
        return QPixmap(QStringLiteral(":/pictures/pay-badge-2.png"));
    }
    return {};
}

}  // namespace rz
