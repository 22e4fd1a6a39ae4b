// Scroll bars that set a value rather than scroll a view: a small thumb at the value's place.
#pragma once

class QScrollBar;

// Gives the bar a thumb a few pixels wide and narrow arrows, so that on a short bar the track
// either side of the thumb stays wide enough to click into. The bar keeps its geometry.
void useValueThumb(QScrollBar* bar);
