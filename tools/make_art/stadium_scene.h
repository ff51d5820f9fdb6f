#pragma once

#include <QPainter>

// The night stadium behind everything: sky, floodlights, stands with their
// crowd, the pitch and bokeh. The painter is in the picture's logical
// coordinates (800 x 600); scale is the output's pixels per logical pixel.
void paintStadium(QPainter &painter, double scale);
