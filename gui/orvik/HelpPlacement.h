#pragma once

#include <QtCore/QRect>

class QWidget;

namespace orvik {

// Where `window` goes beside `parent`: to its right, as tall as it and at most as wide, as a client
// rectangle. When that runs off the right edge of the default screen, `parent` itself is moved left
// to make room. A null `parent` gives the null rectangle.
QRect placementBeside(QWidget* window, QWidget* parent);

}  // namespace orvik
