#ifndef TJVX_FORM_SITE_BATCH_VIEW_H_
#define TJVX_FORM_SITE_BATCH_VIEW_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "form/look.h"
#include "form/report_table.h"
#include "form/view.h"

// What the site dialog's logic needs of a dialog: it lists the boreholes of a site folder with
// their check results and converts the ticked ones. The Qt dialog, the Win32 dialog and the tests'
// fake implement it; none of them decides anything.
namespace tjvx::form {

// The dialog's texts, the same in every window that shows it.
inline constexpr std::u16string_view kBatchTitle = u"一括変換";
inline constexpr std::u16string_view kNoBoreholesMessage =
    u"変換できるボーリングのフォルダがありません。";
inline constexpr std::u16string_view kSelectAllCaption = u"全て選択";
inline constexpr std::u16string_view kSelectNoneCaption = u"選択解除";
inline constexpr std::u16string_view kBatchReportCaption = u"点検結果...";
inline constexpr std::u16string_view kBatchLogCaption = u"柱状図";
inline constexpr std::u16string_view kBatchConvertCaption = u"変換";
inline constexpr std::u16string_view kBatchCancelCaption = u"中止";
inline constexpr std::u16string_view kBatchCloseCaption = u"閉じる";

// The columns of the list, each row a borehole folder: its name (with the tick box that chooses it
// for the conversion), the counts of its check, and what the conversion made of it.
enum class BatchColumn { kFolder, kErrors, kWarnings, kNotices, kOutcome, kMessage };
inline constexpr size_t kBatchColumnCount = 6;
inline constexpr std::array<std::u16string_view, kBatchColumnCount> kBatchHeadings = {
    u"フォルダ", u"エラー", u"警告", u"通知", u"変換", u"メッセージ"};

// What a row's check found: not yet come, clean (notices at most), warnings or errors.
enum class RowMark { kPending, kClean, kWarning, kError };

// The text of a row whose check has not come: grey, as a disabled control's.
inline constexpr Rgb kPendingRowText{0x6e, 0x77, 0x81};

// One row as the dialog shows it. Its colours are the check report's for the worst finding (an
// error's row red on pink, a warning's on yellow), grey text while the check has not come.
struct BatchRow {
  std::array<std::u16string, kBatchColumnCount> cells;
  bool ticked = false;
  RowMark mark = RowMark::kPending;
  RowColours colours;
};

// The dialog's lines: what is going on (the folder being converted), the summary of the counts,
// and the detail pane, which shows the chosen row's check and the whole of its message.
enum class BatchText { kStatus, kSummary, kDetail };

// The buttons the logic enables and disables.
enum class BatchButton { kSelectAll, kSelectNone, kReport, kShowLog, kConvert, kCancel };

class SiteBatchView {
 public:
  virtual ~SiteBatchView() = default;

  // Shows every row in this order, row `selected` chosen (-1: none).
  virtual void ShowRows(const std::vector<BatchRow>& rows, int selected) = 0;
  // Shows the row at `position` anew.
  virtual void ShowRow(int position, const BatchRow& row) = 0;
  virtual void SetText(BatchText text, std::u16string_view value) = 0;
  // The progress bar: `done` of `total` folders.
  virtual void SetProgress(int done, int total) = 0;
  virtual void EnableButton(BatchButton button, bool enabled) = 0;
  // As ConverterView::ShowMessage, over the dialog.
  virtual int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) = 0;
  // As ConverterView::ShowCheckReport and ShowLog.
  virtual void ShowCheckReport(const CheckReport& report) = 0;
  virtual bool ShowLog(const LogDrawing& log, std::u16string_view name) = 0;
};

}  // namespace tjvx::form

#endif  // TJVX_FORM_SITE_BATCH_VIEW_H_
