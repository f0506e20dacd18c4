#ifndef TJVX_DRAWING_LOG_FOOTER_H_
#define TJVX_DRAWING_LOG_FOOTER_H_

#include "drawing/canvas.h"

namespace tjvx::drawing {

// Under the log, whose texts end `log_end` mm below its top, from the drawing's left edge `left`:
// the counts of what was left out (the values lost, the first of them, how many more, the texts
// cut), then the legend of the layer names with their fills. The legend is laid out first, so its
// own cut names are in the counts. Returns the end.
double LayOutFooterAndLegend(Canvas& canvas, double left, double log_end);

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_LOG_FOOTER_H_
