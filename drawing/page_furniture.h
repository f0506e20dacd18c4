#ifndef TJVX_DRAWING_PAGE_FURNITURE_H_
#define TJVX_DRAWING_PAGE_FURNITURE_H_

#include <string_view>
#include <vector>

#include "drawing/canvas.h"
#include "drawing/log_layout.h"
#include "drawing/log_records.h"
#include "drawing/sheet.h"

namespace tjvx::drawing {

// What every page of a log repeats: the title block from the header records, the captions above
// the columns, the page's number, the depth scale of the page's depths and the N graph's grid.
class PageFurniture {
 public:
  // The title block and the captions, fitted once on the canvas's drawing, so that their cut texts
  // count once.
  PageFurniture(Canvas& canvas, const TitleFields& title, const Columns& columns);

  // The furniture onto every page of the drawing, whose log ends `log_bottom` mm below its top.
  void AddToPages(double log_bottom);

 private:
  Page TitleBlock(const TitleFields& title);
  Page Captions();
  // Texts fitted into a cell, centred in its height; centred across it unless `anchor` is start.
  void CellText(Page& block, Region region, Span cell, double top, double height,
                const std::vector<std::u16string_view>& texts, double size,
                Anchor anchor = Anchor::kMiddle);
  // Ticks every `tick` metres, longer and labelled every `label` metres: finer for a short log,
  // coarser when the scale would crowd them.
  void DepthScale(Page& page, double from, double to);

  Canvas& canvas_;
  Drawing& drawing_;
  const Columns& columns_;
  Page title_, captions_;
  double page_number_x_ = 0;  // where the page's number goes in the title block
};

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_PAGE_FURNITURE_H_
