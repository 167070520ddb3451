#pragma once

#include <QColor>
#include <QFont>

class QLabel;

namespace rz {

// Puts a label at (x, y) of its parent in the given font and colour, sized to its
// text. A word-wrapped label is at most maxWidth wide and grows downwards beyond
// that; others ignore maxWidth.
void placeLabel(QLabel* label, int x, int y, const QFont& font, const QColor& colour, bool wordWrap = false,
                int maxWidth = 0);

// A picture label at a fixed place and size that stretches its picture to fill it.
void placePicture(QLabel* label, int x, int y, int width, int height);

}  // namespace rz
