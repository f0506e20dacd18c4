#ifndef TJVX_SOURCE_RULES_H_
#define TJVX_SOURCE_RULES_H_

#include <span>
#include <string_view>

#include "base/findings.h"

// The kinds of finding of the check of a source folder, each with a stable rule ID.
namespace tjvx::source {

// A kind of finding: its ID, which the report prints and tools match on and which never changes
// its meaning, how much it matters, and the help an engineer reads: what causes it, an example
// and what to do.
struct Rule {
  std::string_view id;  // "W-CODE-MISSING": E- an error, W- a warning, N- a notice
  base::Severity severity;
  // A plausibility rule: the value converts, but the borehole cannot be so. Every other rule says
  // why a conversion fails, what a value loses on its way into the converted file, or what the
  // file leaves out.
  bool plausibility;
  std::u16string_view title;    // what the rule finds, in a few words
  std::u16string_view cause;    // why it is found
  std::u16string_view example;  // a finding of the rule as the report gives it
  std::u16string_view fix;      // what to do, where a finding says nothing more particular
};

namespace rules {

// Errors: a conversion of the folder fails.
extern const Rule kSourceFolder;    // E-SOURCE-FOLDER
extern const Rule kSettings;        // E-SETTINGS
extern const Rule kPatternFolder;   // E-PATTERN-FOLDER
extern const Rule kTableMissing;    // E-TABLE-MISSING
extern const Rule kFileUnreadable;  // E-FILE-UNREADABLE
extern const Rule kNotShiftJis;     // E-NOT-SHIFT-JIS
extern const Rule kRecordCutShort;  // E-RECORD-CUT-SHORT
extern const Rule kTooMany;         // E-TOO-MANY
extern const Rule kMemory;          // E-MEMORY
extern const Rule kUnforeseen;      // E-UNFORESEEN

// Warnings: a value does not reach the converted file as it stands.
extern const Rule kCodeMissing;       // W-CODE-MISSING
extern const Rule kCodeNotANumber;    // W-CODE-NOT-A-NUMBER
extern const Rule kNotANumber;        // W-NOT-A-NUMBER
extern const Rule kNumberOutOfRange;  // W-NUMBER-OUT-OF-RANGE
extern const Rule kDepthTooWide;      // W-DEPTH-TOO-WIDE
extern const Rule kDecimalsCut;       // W-DECIMALS-CUT
extern const Rule kEndDepth;          // W-END-DEPTH
extern const Rule kNegativeBlows;     // W-NEGATIVE-BLOWS
extern const Rule kDateForm;          // W-DATE-FORM
extern const Rule kTitleYear;         // W-TITLE-YEAR
extern const Rule kElevation;         // W-ELEVATION
extern const Rule kNotesNoDepth;      // W-NOTES-NO-DEPTH
extern const Rule kNoteDepth;         // W-NOTE-DEPTH
extern const Rule kCodedNoteDepth;    // W-CODED-NOTE-DEPTH
extern const Rule kDepthMark;         // W-DEPTH-MARK
extern const Rule kSiteDepthOrder;    // W-SITE-DEPTH-ORDER
extern const Rule kMergedDepth;       // W-MERGED-DEPTH
extern const Rule kAfterCtrlZ;        // W-AFTER-CTRL-Z
extern const Rule kControlCharacter;  // W-CONTROL-CHARACTER
extern const Rule kOutOfStep;         // W-OUT-OF-STEP

// Plausibility: the values convert, but cannot be what the borehole holds.
extern const Rule kLayerInverted;      // W-LAYER-INVERTED
extern const Rule kLayerGap;           // W-LAYER-GAP
extern const Rule kLayerOverlap;       // W-LAYER-OVERLAP
extern const Rule kBelowBottom;        // W-BELOW-BOTTOM
extern const Rule kTestNoInterval;     // W-TEST-NO-INTERVAL
extern const Rule kBlowsOver50;        // N-BLOWS-OVER-50
extern const Rule kDateNotInCalendar;  // W-DATE-NOT-IN-CALENDAR
extern const Rule kDatesReversed;      // W-DATES-REVERSED

// Notices: what the converted file leaves out as the format wants it.
extern const Rule kFileLeftOut;  // N-FILE-LEFT-OUT
extern const Rule kZeroWritten;  // N-ZERO-WRITTEN

}  // namespace rules

// Every rule: the errors, the warnings, the plausibility rules, then the notices.
std::span<const Rule* const> AllRules();

// The rule whose ID is `id`; null when there is none.
const Rule* FindRule(std::string_view id);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_RULES_H_
