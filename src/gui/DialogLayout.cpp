#include "gui/DialogLayout.h"

#include <QLabel>
#include <QPalette>

#include <algorithm>

namespace rz {

void placeLabel(QLabel* label, int x, int y, const QFont& font, const QColor& colour, bool wordWrap, int maxWidth) {
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
    label->move(x, y);
    if (!wordWrap) {
        label->adjustSize();
        return;
    }
    // The one-line width, measured before wrapping is switched on, is all a short
    // text needs; longer texts wrap at maxWidth.
    label->setWordWrap(false);
    const int oneLine = label->sizeHint().width();
    label->setWordWrap(true);
    const int width = maxWidth > 0 ? std::min(oneLine, maxWidth) : oneLine;
    label->resize(width, label->heightForWidth(width));
}

void placePicture(QLabel* label, int x, int y, int width, int height) {
    label->setScaledContents(true);
    label->setGeometry(x, y, width, height);
}

}  // namespace rz
