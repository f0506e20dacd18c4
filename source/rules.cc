#include "source/rules.h"

#include <algorithm>

namespace tjvx::source {
namespace rules {

using base::Severity;

// Errors.
const Rule kSourceFolder{
    "E-SOURCE-FOLDER",
    Severity::kError,
    false,
    u"変換元フォルダを読めない",
    u"変換元フォルダが空欄、存在しない、ドライブのルート、名前が空白かピリオドで終わる (Windows "
    u"では別のフォルダと読まれます)、または中を一覧できない。",
    u"変換元フォルダが存在しない為に変換できません。 C:\\DATA\\B-99",
    u"変換元フォルダのパスを確かめ、ボーリングのデータのあるフォルダを指定してください。"};
const Rule kSettings{
    "E-SETTINGS",
    Severity::kError,
    false,
    u"パターンのフォルダの設定がない",
    u"設定ファイル DozoraV5.ini がない、読めない、または 2 行目にパターンのフォルダが書かれて"
    u"いない。",
    u" DOZORA の設定がありません.",
    u"DozoraV5.ini の 2 行目にパターンのフォルダを書くか、tjvx check の --pattern でフォルダを"
    u"指定してください。"};
const Rule kPatternFolder{
    "E-PATTERN-FOLDER",
    Severity::kError,
    false,
    u"パターンのフォルダに表がない",
    u"設定されたパターンのフォルダがないか、表 (KISHITU.TXT、L1.TXT など) をひとつも含まない。",
    u"パターンのフォルダ「D:\\DOZORA」がない為、表を読めず変換できません。",
    u"パターンのフォルダの設定を直すか、そのフォルダに表を置いてください。"};
const Rule kTableMissing{
    "E-TABLE-MISSING",
    Severity::kError,
    false,
    u"検索に要る表がない",
    u"変換元のデータがコードを引く表 (L19.TXT など) や地質名の表が、パターンのフォルダにない。",
    u"ファイルが見つからない為に変換できません。",
    u"パターンのフォルダにその表を置いてください。"};
const Rule kFileUnreadable{
    "E-FILE-UNREADABLE",
    Severity::kError,
    false,
    u"ファイルを読めない",
    u"ファイルの名前の所にフォルダ、パイプ、ソケット、デバイス (またはそれへのリンク) があるか、"
    u"ファイルを読む権限がない。",
    u"ファイルを読み込めない為に変換できません。",
    u"その名前の所に普通のファイルを置くか、取り除いてください。"};
const Rule kNotShiftJis{
    "E-NOT-SHIFT-JIS",
    Severity::kError,
    false,
    u"Shift-JIS でないバイト",
    u"ファイルに Shift-JIS (CP932) の文字にならないバイトがある。UTF-8 などで保存されたファイル"
    u"や、壊れたファイル。",
    u"ファイルに Shift-JIS でないバイトがある為に変換できません。 (バイト位置 12)",
    u"ファイルを Shift-JIS (CP932) で保存し直すか、示されたバイト位置の文字を直してください。"};
const Rule kRecordCutShort{
    "E-RECORD-CUT-SHORT",
    Severity::kError,
    false,
    u"レコードの途中でファイルが終わる",
    u"ファイルの最後のレコードの項目が足りない。引用符で囲まれていない値の中のカンマが項目を"
    u"増やした時は、その行が示されます。",
    u"ファイルがレコードの途中で終わっている為に変換できません。 この行の項目数が 9 個あります "
    u"(他の行は 8 個)",
    u"示された行の項目数を他の行と同じにしてください (カンマを含む値は \"\" で囲みます)。"};
const Rule kTooMany{
    "E-TOO-MANY",
    Severity::kError,
    false,
    u"値や行が扱える数を超える",
    u"表題の項目が多すぎる (Titl01.txt は 23、Titl02.txt は 41 まで)、凡例のコードの欄に 4 つ"
    u"以上のコードがある、地質名の表の行が 1000 行を超えるかコードが -32768～32767 の範囲外。",
    u"ファイルの値が範囲を超えている為に変換できません。 コードが 3 個を超えています: 01020304",
    u"示された行の値を扱える数に収めてください。"};
const Rule kMemory{
    "E-MEMORY",
    Severity::kError,
    false,
    u"メモリが足りない",
    u"ファイルが大きすぎて、読むためのメモリが足りない。",
    u"メモリが足りない為に変換できません。 C:\\DATA\\B-12",
    u"大きすぎるファイルがないか確かめ、他のプログラムを閉じてからやり直してください。"};
const Rule kUnforeseen{
    "E-UNFORESEEN",
    Severity::kError,
    false,
    u"予期しないエラー",
    u"変換の途中で、どの規則にも当てはまらない失敗が起きた。",
    u"予期しないエラーの為に変換できません。 C:\\DATA\\B-12 …",
    u"メッセージを控えて、このボーリングのデータと共に開発元に知らせてください。"};

// Warnings: values changed on their way.
const Rule kCodeMissing{
    "W-CODE-MISSING",
    Severity::kWarning,
    false,
    u"コードが表にない",
    u"コードがパターンのフォルダの表 (L1、L4、L8、L13～L17、L18、L18B、L19) にない為、その名前"
    u"が書かれないか @ と書かれる。",
    u"深度 11.60 m、コード「15」が L4.TXT にない為、その名前は書かれません。",
    u"表にそのコードを加えるか、コードを直してください。"};
const Rule kCodeNotANumber{
    "W-CODE-NOT-A-NUMBER",
    Severity::kWarning,
    false,
    u"コードが数値でない",
    u"X7.TXT のコードの欄に数値でない値 (全角の数字を含む) があり、読み飛ばされる。",
    u"深度 0.00～0.80 m、コード「ab」は数値ではない為、読み飛ばされます。",
    u"コードを半角の数字で書いてください。"};
const Rule kNotANumber{
    "W-NOT-A-NUMBER",
    Severity::kWarning,
    false,
    u"数値の欄が数値でない",
    u"数値を書く欄 (-1 や 9999 と書かれる欄、深度) に数値として読めない値がある。",
    u"深度 3.50 m、値 A「abc」は数値ではない為、-1 と書かれます。",
    u"数値に直すか、値がなければ空にしてください。"};
const Rule kNumberOutOfRange{
    "W-NUMBER-OUT-OF-RANGE",
    Severity::kWarning,
    false,
    u"扱えない大きさの数値",
    u"数値が単精度の範囲 (約 3.4×10^38) を超える。",
    u"深度 3.50 m、値 A「1e50」は扱える範囲を超える数値の為、-1 と書かれます。",
    u"桁を確かめて値を直してください。"};
const Rule kDepthTooWide{
    "W-DEPTH-TOO-WIDE",
    Severity::kWarning,
    false,
    u"深度の桁が多すぎる",
    u"深度の整数部が 4 桁 (9999) を超え、上の桁が切れて書かれる。",
    u"上端深度「123456789012」は桁が多すぎる為に上の桁が切れ、9012.00 と書かれます。",
    u"深度をメートルで 9999.99 以下の値に直してください。"};
const Rule kDecimalsCut{
    "W-DECIMALS-CUT",
    Severity::kWarning,
    false,
    u"深度の小数第 3 位以下が切れる",
    u"深度の形は小数 2 桁までで、それより下の桁は切り捨てられる (四捨五入されない)。",
    u"上端深度「0.125」は小数第 3 位以下が切り捨てられ、0.12 と書かれます。",
    u"深度を小数 2 桁で書いてください。切り捨てた値でよければ、そのままで構いません。"};
const Rule kEndDepth{
    "W-END-DEPTH",
    Severity::kWarning,
    false,
    u"試験の終わりの深度が書けない",
    u"4000 の終わりの深度 (開始深度 + 貫入量の合計) が深度の形 (4 桁.2 桁) に収まらないか、"
    u"長すぎる貫入量の為に 1 cm 以上ずれる。",
    u"深度 9999.50 m、貫入量を足した終わりの深度が深度の形 (4 桁.2 桁) に収まらない為、"
    u"0000.70 と書かれます。",
    u"開始深度 (m) と貫入量 (cm) を確かめてください。"};
const Rule kNegativeBlows{"W-NEGATIVE-BLOWS",
                          Severity::kWarning,
                          false,
                          u"打撃回数が負",
                          u"打撃回数が -1 以外の負の数で、回数なしとして -1 と書かれる。",
                          u"深度 1.15 m、負の打撃回数「-5」は回数なしとして -1 と書かれます。",
                          u"打撃回数を 0 以上に直すか、回数がなければ -1 にしてください。"};
const Rule kDateForm{
    "W-DATE-FORM",
    Severity::kWarning,
    false,
    u"日付が yyyy/mm/dd の形でない",
    u"N8.TXT、N9.TXT の日付の月と日は 6、7 文字目と 9、10 文字目から読まれる為、yyyy/mm/dd の形"
    u"でない日付は月と日が変わるか -1 -1 と書かれる。",
    u"深度 2.10 m、日付「2004/8/5」が yyyy/mm/dd の形でない為、月と日が -1 -1 と書かれます。",
    u"日付を yyyy/mm/dd の形 (2004/08/05) で書いてください。"};
const Rule kTitleYear{
    "W-TITLE-YEAR",
    Severity::kWarning,
    false,
    u"表題の年が年号の年にならない",
    u"Titl01.txt の年 (項目 10、13) が空、0、数値でない、1926 年より前、整数でない、桁が多すぎ"
    u"る、または 2 つ目の年が 1 つ目の年の年号で 0 年以下になる為、日付が -1 や別の値で書かれ"
    u"る。",
    u"年「1900」は 1926 年より前の為、日付がすべて -1 と書かれます。",
    u"年を西暦 4 桁 (1926 年以降) で書いてください。"};
const Rule kElevation{
    "W-ELEVATION",
    Severity::kWarning,
    false,
    u"標高がなく岩種の名前が落ちる",
    u"1013 は標高 (Titl01.txt の項目 17) が -1 と書かれる時、岩種の名前を書かずに @ とする。",
    u"標高が空の為、岩種の名前「花崗岩」は書かれず、@ と書かれます。",
    u"標高を書いてください。"};
const Rule kNotesNoDepth{
    "W-NOTES-NO-DEPTH",
    Severity::kWarning,
    false,
    u"記事を付ける深度がない",
    u"深度の一覧が空 (X1.TXT、X3.TXT、R30～R35.TXT、X11.TXT に深度がない) の為、X12.TXT の記事"
    u"がすべて書かれない。",
    u"深度の一覧が空の為、このファイルの記事は書かれません。",
    u"X1.TXT などに深度のある行を入れてください。"};
const Rule kNoteDepth{
    "W-NOTE-DEPTH",
    Severity::kWarning,
    false,
    u"記事の深度が使えない",
    u"X12.TXT の記事の深度が数値でないか、最後の 2001 (最後の現場の深度) より深い為、記事が"
    u"別の深度に付く。",
    u"深度「25.00」が最後の 2001 の深度より深い為、記事は最後の 2001 に付きます。",
    u"記事の深度を直すか、X1.TXT に現場の深度を加えてください。"};
const Rule kCodedNoteDepth{
    "W-CODED-NOTE-DEPTH",
    Severity::kWarning,
    false,
    u"凡例の記録の深度が使えない",
    u"X3.TXT、R31～R35.TXT の記録の深度が数値でない (深度 0 "
    u"とされる)、深度の順になっていない、前の行と同じ深度、または最後の現場の深度 (X1.TXT) "
    u"より深い為、その名前が正しい深度の 2001 に付かないか書かれない。",
    u"深度「2.50」が前の行の深度より浅い為、この行の名前は正しい深度の 2001 に付きません。",
    u"記録を深度の浅い順に並べ、最後の現場の深度までに収めてください。"};
const Rule kDepthMark{
    "W-DEPTH-MARK",
    Severity::kWarning,
    false,
    u"X11.TXT の深度が使えない",
    u"X11.TXT の深度は 2001 の深度としてだけ書かれる為、数値でない深度は 0 とされ、最後の現場"
    u"の深度 (X1.TXT) より深い深度は書かれない。",
    u"深度「18.00」が最後の現場の深度 (X1.TXT) より深い為、2001 に書かれません。",
    u"深度を直すか、X1.TXT に現場の深度を加えてください。"};
const Rule kSiteDepthOrder{
    "W-SITE-DEPTH-ORDER",
    Severity::kWarning,
    false,
    u"現場の深度が並んでいない",
    u"X1.TXT の深度が浅い順でないか同じ深度が続く為、2000 の深度の番号が正しく数えられず、"
    u"最後の行より深い 2001 が書かれない。",
    u"深度「5.30」が前の行の深度より浅い為、2000 の最後の数 (深度の番号) が正しく数えられ"
    u"ません。",
    u"X1.TXT の行を深度の浅い順に並べてください。"};
const Rule kMergedDepth{
    "W-MERGED-DEPTH",
    Severity::kWarning,
    false,
    u"5000 の記録の深度が使えない",
    u"N8、G71、G73、G81.TXT の記録が、先の記録と同じ深度にある (使われない)、深度が数値でない、"
    u"または深度が空のまま値を持つ (深度 0.00 の行に書かれる)。",
    u"深度「1.50」の記録が先にある為、この記録は使われません。",
    u"記録の深度を直すか、重なる記録をひとつにまとめてください。"};
const Rule kAfterCtrlZ{
    "W-AFTER-CTRL-Z",
    Severity::kWarning,
    false,
    u"Ctrl-Z の後のデータ",
    u"Ctrl-Z (ファイルの終わりの印) の後にあるデータは読まれない。",
    u"Ctrl-Z (ファイルの終わりの印) の後にあるデータは読まれません。",
    u"後のデータが要るなら Ctrl-Z を取り除き、要らなければ後のデータを消してください。"};
const Rule kControlCharacter{
    "W-CONTROL-CHARACTER",
    Severity::kWarning,
    false,
    u"制御文字",
    u"値の中の制御文字 (タブ、NUL など) がそのまま変換ファイルに書かれ、受け取る側で行が崩れる"
    u"ことがある。",
    u"深度 0.00～0.80 m、制御文字 U+0001 がそのまま変換ファイルに書かれます。",
    u"値から制御文字を取り除いてください。"};
const Rule kOutOfStep{
    "W-OUT-OF-STEP",
    Severity::kWarning,
    false,
    u"行の項目数が他の行と違う",
    u"ある行の項目数が他の行より多く (引用符で囲まれていない値の中のカンマなど)、その行から"
    u"後のレコードが行の途中から読まれ、値がずれて書かれる。",
    u"この行の項目数が 9 個あります (他の行は 8 個)。この行から後のレコードは行の途中から読ま"
    u"れる為、値がずれて書かれます。",
    u"示された行の項目数を他の行と同じにしてください (カンマを含む値は \"\" で囲みます)。"};

// Plausibility.
const Rule kLayerInverted{
    "W-LAYER-INVERTED",
    Severity::kWarning,
    true,
    u"層の下端が上端より下でない",
    u"X7.TXT または G40.TXT の層の下端深度が上端深度と同じか浅い。空や 0 の下端 (9999 と書かれ、"
    u"下が開いた層) は除きます。",
    u"下端深度 0.80 m が上端深度 2.50 m と同じか浅い為、層に厚さがありません。",
    u"上端深度と下端深度を確かめてください。"};
const Rule kLayerGap{
    "W-LAYER-GAP",
    Severity::kWarning,
    true,
    u"層の間のすき間",
    u"X7.TXT の層の上端深度が、前の層の下端深度より深い。同じ上端と下端の続く行はひとつの層"
    u"です。",
    u"上端深度 1.00 m が前の層 (1 行) の下端深度 0.80 m より深く、0.80～1.00 m に層がありません。",
    u"上端深度か前の層の下端深度を直してください。"};
const Rule kLayerOverlap{
    "W-LAYER-OVERLAP",
    Severity::kWarning,
    true,
    u"層の重なり",
    u"X7.TXT の層の上端深度が、前の層の下端深度より浅い。同じ上端と下端の続く行はひとつの層"
    u"(コードが複数ある層) で、重なりではありません。",
    u"上端深度 0.50 m が前の層 (1 行) の下端深度 0.80 m より浅く、0.50～0.80 m が 2 "
    u"つの層に重なります。",
    u"上端深度か前の層の下端深度を直してください。"};
const Rule kBelowBottom{
    "W-BELOW-BOTTOM",
    Severity::kWarning,
    true,
    u"孔底より深い深度",
    u"X5、N8、N9、R41、G71～G81.TXT の深度が孔底より深い。孔底は X1.TXT の深度と、X7.TXT、"
    u"G40.TXT の下端深度 (空や 0 を除く) のうち最も深いもの。どれもなければ調べません。",
    u"深度 16.00 m が孔底の深度 15.00 m (X1.TXT) より深く、孔の外の記録です。",
    u"深度を直すか、孔底を決める X1.TXT の深度や層の下端深度を直してください。"};
const Rule kTestNoInterval{
    "W-TEST-NO-INTERVAL",
    Severity::kWarning,
    true,
    u"貫入量のない試験",
    u"X5.TXT の試験に、貫入量が 0 より大きい区間がひとつもない。打撃回数を数える区間がなく、"
    u"柱状図に N 値が描かれない。",
    u"深度 4.15 m、貫入量が 0 より大きい区間がない為、打撃回数を数える区間がなく、N 値が出ません。",
    u"区間の貫入量 (cm) を書いてください。"};
const Rule kBlowsOver50{
    "N-BLOWS-OVER-50",
    Severity::kNotice,
    true,
    u"打撃回数の合計が 50 回を超える",
    u"X5.TXT の試験の打撃回数の合計 (貫入量が 0 より大きい区間の回数、-1 は 0 回) が、標準"
    u"貫入試験の本打ちの上限 50 回を超える。目的によって 50 回を超えて打つこともある為、通知"
    u"です。",
    u"深度 11.15 m、打撃回数の合計 60 回が本打ちの上限 50 回を超えます。",
    u"意図した試験でなければ打撃回数を確かめてください。"};
const Rule kDateNotInCalendar{
    "W-DATE-NOT-IN-CALENDAR",
    Severity::kWarning,
    true,
    u"暦にない日付",
    u"N8.TXT、N9.TXT の日付、または Titl01.txt の調査の日付 (項目 10～15) が暦にない (13 月、"
    u"2003 年 2 月 29 日など)。空の日付は調べません。",
    u"深度 2.10 m、日付「2004/13/40」は暦にない日付です。",
    u"日付を直してください。"};
const Rule kDatesReversed{
    "W-DATES-REVERSED",
    Severity::kWarning,
    true,
    u"調査の日付が逆",
    u"Titl01.txt の 1 つ目の調査の日付 (項目 10～12) が 2 つ目 (項目 13～15) より後。",
    u"1 つ目の日付 2004/08/20 が 2 つ目の日付 2004/08/05 より後です。",
    u"2 つの日付を確かめてください。"};

// Notices.
const Rule kFileLeftOut{
    "N-FILE-LEFT-OUT",
    Severity::kNotice,
    false,
    u"ファイルがないか空",
    u"変換元のファイルがないか空の為、その記録は書かれないか既定の値で書かれる。",
    u"ファイルがない為、3020 の記録は書かれません。",
    u"その記録が要るなら、ファイルを用意してください。"};
const Rule kZeroWritten{
    "N-ZERO-WRITTEN",
    Severity::kNotice,
    false,
    u"0 が -1 や 9999 と書かれる",
    u"この形式の数値の欄には 0 がなく、0 は値なしの -1 (下端深度は 9999) と書かれる。ファイル"
    u"と記録ごとに 1 回、最初の行で数えます。",
    u"深度 3.15 m、貫入量の 0 が -1 と書かれます (この欄に 0 はありません)。このファイルで 19 "
    u"件、最初の行を示します。",
    u"値なしのつもりならそのままで構いません。"};

}  // namespace rules

namespace {

using namespace rules;

constexpr const Rule* kAll[] = {
    &kSourceFolder,   &kSettings,          &kPatternFolder, &kTableMissing,     &kFileUnreadable,
    &kNotShiftJis,    &kRecordCutShort,    &kTooMany,       &kMemory,           &kUnforeseen,
    &kCodeMissing,    &kCodeNotANumber,    &kNotANumber,    &kNumberOutOfRange, &kDepthTooWide,
    &kDecimalsCut,    &kEndDepth,          &kNegativeBlows, &kDateForm,         &kTitleYear,
    &kElevation,      &kNotesNoDepth,      &kNoteDepth,     &kCodedNoteDepth,   &kDepthMark,
    &kSiteDepthOrder, &kMergedDepth,       &kAfterCtrlZ,    &kControlCharacter, &kOutOfStep,
    &kLayerInverted,  &kLayerGap,          &kLayerOverlap,  &kBelowBottom,      &kTestNoInterval,
    &kBlowsOver50,    &kDateNotInCalendar, &kDatesReversed, &kFileLeftOut,      &kZeroWritten};

}  // namespace

std::span<const Rule* const> AllRules() { return kAll; }

const Rule* FindRule(std::string_view id) {
  const auto it = std::find_if(std::begin(kAll), std::end(kAll),
                               [&](const Rule* rule) { return rule->id == id; });
  return it == std::end(kAll) ? nullptr : *it;
}

}  // namespace tjvx::source
