#pragma once

#include <QImage>

// The application icon, a blue capital "O" whose counter is a cartoon eye,
// smiling with its lower bowl. Drawn for a size in points at a device pixel
// ratio (1 or 2); 16 points gets a simplified design on the pixel grid.
QImage paintAppIcon(int points, int ratio);
