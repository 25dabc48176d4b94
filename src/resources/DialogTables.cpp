#include "resources/DialogTables.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "resources/ResourceIds.h"

namespace tessary::res {
namespace {

using C = ControlKind;

// The selection group of the main and aggregation windows: go to a line or an index number, the
// selected line's time and the button that shows it. Only the box's width differs.
constexpr std::array<DialogControl, 7> SelectionGroup(int boxWidth) {
    return {{
        {-1, C::kGroupBox, kSelectionGroupTitle, 4, 2, boxWidth, 30},
        {kIdcGoLine, C::kButton, u"行番号", 10, 13, 28, 13},
        {kIdcLineNumber, C::kEdit, {}, 40, 13, 48, 13},
        {kIdcGoIndex, C::kButton, u"ｲﾝﾃﾞｯｸｽ番号", 92, 13, 44, 13},
        {kIdcIndexNumber, C::kEdit, {}, 138, 13, 40, 13},
        {kIdcSelectionTime, C::kReadOnlyEdit, {}, 182, 13, 80, 13},
        {kIdcShowSelection, C::kButton, u"選択行表示", 266, 13, 40, 13},
    }};
}

// The controls of `group` followed by those of `rest`, in that order.
template <size_t GroupSize, size_t RestSize>
constexpr std::array<DialogControl, GroupSize + RestSize> JoinControls(
    const std::array<DialogControl, GroupSize>& group, const DialogControl (&rest)[RestSize]) {
    std::array<DialogControl, GroupSize + RestSize> joined{};
    std::copy(group.begin(), group.end(), joined.begin());
    std::copy(std::begin(rest), std::end(rest), joined.begin() + GroupSize);
    return joined;
}

// The main window adds the BC swap button inside its wider selection group, the search group,
// the aggregation and reload buttons, the layer-1 legend and the pane frame.
constexpr DialogControl kMainOwnControls[] = {
    {kIdcSwapBc, C::kButton, u"BC交換", 310, 13, 30, 13},
    {-1, C::kGroupBox, kSearchGroupTitle, 348, 2, 208, 30},
    {kIdcSearchText, C::kComboBox, {}, 354, 13, 160, 100},
    {kIdcFindNext, C::kButton, u"↓", 518, 13, 16, 13},
    {kIdcFindPrevious, C::kButton, u"↑", 536, 13, 16, 13},
    {kIdcSearchAggregate, C::kButton, u"検索文字集約...", 560, 4, 60, 13},
    {kIdcCallAggregate, C::kButton, u"関連呼集約...", 560, 19, 60, 13},
    {kIdcReload, C::kButton, u"再読込", 624, 4, 52, 28},
    {kIdcLegend, C::kStatic, u"LY1凡例", 4, 35, 672, 9},
    {kIdcPaneFrame, C::kStatic, u"(IDC_LBLPANEFRAME)", 4, 46, 672, 300},
};
constexpr auto kMainControls = JoinControls(SelectionGroup(340), kMainOwnControls);

// The aggregation window: the selection group and the pane frame.
constexpr DialogControl kSummaryOwnControls[] = {
    {kIdcPaneFrame, C::kStatic, u"(IDC_LBLPANEFRAME)", 4, 35, 672, 300},
};
constexpr auto kSummaryControls = JoinControls(SelectionGroup(308), kSummaryOwnControls);

constexpr DialogControl kProgressControls[] = {
    {kIdcProgGroup, C::kGroupBox, {}, 7, 4, 217, 52},
    {kIdcProgLblStat, C::kStatic, u"(IDC_PROG_LBLSTAT)", 14, 15, 203, 9},
    {kIdcProgBar, C::kProgressBar, {}, 14, 27, 203, 10},
    {kIdcProgLblMsg, C::kStatic, u"(IDC_PROG_LBLMSG)", 14, 41, 203, 9},
    {kIdcProgStop, C::kButton, u"中止(&S)", 90, 62, 50, 14},
};

constexpr DialogControl kAboutControls[] = {
    {-1, C::kIcon, {}, 10, 10, 21, 20},
    {kIdcAboutDescription, C::kStatic, u"(IDC_ABOUT_DESCRIPTION)", 40, 10, 196, 9},
    {kIdOk, C::kDefaultButton, u"OK", 186, 52, 50, 14},
    {kIdcAboutVersion, C::kStatic, u"(IDC_ABOUT_VERSION)", 40, 24, 196, 9},
    {kIdcAboutCopyright, C::kStatic, u"(IDC_ABOUT_COPYRIGHT)", 40, 38, 196, 9},
};

// The option dialog: the tab control over its three pages and the three buttons.
constexpr DialogControl kOptionControls[] = {
    {kIdcOptionTab, C::kTabControl, {}, 4, 4, 364, 214},
    {kIdcOptionReset, C::kButton, u"全ての設定を初期状態に戻す(&I)...", 4, 224, 130, 15},
    {kIdcOptionApply, C::kButton, u"設定(&U)", 246, 224, 58, 15},
    {kIdcOptionCancel, C::kButton, u"キャンセル(&X)", 310, 224, 58, 15},
};

constexpr DialogControl kOptMarkControls[] = {
    {-1, C::kStatic, u"ﾏｰｸ文字", 24, 8, 40, 9},
    {-1, C::kStatic, u"検索文字(半角英字大小区別なし、非単語別)", 70, 8, 200, 9},
    {-1, C::kStatic, u"ﾌﾞﾛｯｸ名", 276, 8, 60, 9},
    {-1, C::kStatic, u"０", 10, 22, 10, 9},
    {kIdcMarkText, C::kEdit, {}, 24, 20, 40, 13},
    {kIdcMarkSearch, C::kComboBox, {}, 70, 20, 200, 100},
    {kIdcMarkBlocks, C::kEdit, {}, 276, 20, 60, 13},
    {-1, C::kStatic, u"１", 10, 40, 10, 9},
    {kIdcMarkText + 3, C::kEdit, {}, 24, 38, 40, 13},
    {kIdcMarkSearch + 3, C::kComboBox, {}, 70, 38, 200, 100},
    {kIdcMarkBlocks + 3, C::kEdit, {}, 276, 38, 60, 13},
    {-1, C::kStatic, u"２", 10, 58, 10, 9},
    {kIdcMarkText + 6, C::kEdit, {}, 24, 56, 40, 13},
    {kIdcMarkSearch + 6, C::kComboBox, {}, 70, 56, 200, 100},
    {kIdcMarkBlocks + 6, C::kEdit, {}, 276, 56, 60, 13},
    {-1, C::kStatic, u"３", 10, 76, 10, 9},
    {kIdcMarkText + 9, C::kEdit, {}, 24, 74, 40, 13},
    {kIdcMarkSearch + 9, C::kComboBox, {}, 70, 74, 200, 100},
    {kIdcMarkBlocks + 9, C::kEdit, {}, 276, 74, 60, 13},
    {-1, C::kStatic,
     u"※ﾏｰｸ文字は、テキスト出力時に「検索文字」を含む行の行頭に挿入されます。\n"
     u"　（画面には表示されません）\n"
     u"※検索文字は、メイン画面の検索文字列と同じ形式で指定します。\n"
     u"　'<>'で囲んだ単語を「|」で区切るとOR、空白で区切るとAND条件です。\n"
     u"　（半角空白のみの検索はできません）\n"
     u"※ﾌﾞﾛｯｸ名は、検索するﾌﾞﾛｯｸを指定します。\n"
     u"　（空白：全ﾌﾞﾛｯｸ、AB：ﾌﾞﾛｯｸAとB）",
     10, 98, 340, 72},
};

constexpr DialogControl kOptColorControls[] = {
    {-1, C::kGroupBox, u"設定項目", 6, 4, 344, 132},
    {kIdcColorList, C::kListBox, {}, 12, 16, 110, 114},
    {kIdcColorText, C::kButton, u"文字色選択", 130, 16, 80, 14},
    {kIdcColorKeepText, C::kCheckBox, u"基本の文字色を維持", 216, 17, 120, 12},
    {kIdcColorBack, C::kButton, u"背景色選択", 130, 34, 80, 14},
    {kIdcColorKeepBack, C::kCheckBox, u"基本の背景色を維持", 216, 35, 120, 12},
    {kIdcColorNormalText, C::kButton, u"通常行の文字色を設定", 130, 58, 100, 14},
    {kIdcColorNormalBack, C::kButton, u"通常行の背景色を設定", 130, 76, 100, 14},
    {kIdcColorSample, C::kStatic, u"\nサンプル文字列\n\n0123456789\n@ABCD-efgh", 238, 56, 106, 50},
    {kIdcColorDefaults, C::kButton, u"すべての項目をデフォルト色に戻す...", 130, 114, 140, 14},
    {-1, C::kGroupBox, u"基本色サンプル", 6, 142, 344, 30},
    {kIdcColorBaseFirst, C::kRadioButton, {}, 12, 155, 60, 12},
    {kIdcColorBaseFirst + 1, C::kRadioButton, {}, 78, 155, 92, 12},
    {kIdcColorBaseFirst + 2, C::kRadioButton, {}, 176, 155, 84, 12},
    {kIdcColorBaseFirst + 3, C::kRadioButton, {}, 266, 155, 78, 12},
};

constexpr DialogControl kOptBlockControls[] = {
    {-1, C::kGroupBox, u"ブロック・タイトル名", 6, 4, 344, 50},
    {-1, C::kStatic, u"Ａ", 12, 18, 10, 9},
    {kIdcBlockTitleFirst, C::kEdit, {}, 24, 16, 150, 13},
    {-1, C::kStatic, u"Ｂ", 182, 18, 10, 9},
    {kIdcBlockTitleFirst + 1, C::kEdit, {}, 194, 16, 150, 13},
    {-1, C::kStatic, u"Ｃ", 12, 35, 10, 9},
    {kIdcBlockTitleFirst + 2, C::kEdit, {}, 24, 33, 150, 13},
    {-1, C::kStatic, u"Ｄ", 182, 35, 10, 9},
    {kIdcBlockTitleFirst + 3, C::kEdit, {}, 194, 33, 150, 13},
    {-1, C::kStatic, u"ﾚｲﾔ3情報識別子折り返し文字数", 10, 63, 120, 9},
    {kIdcBlockWrap, C::kEdit, {}, 134, 61, 30, 13},
    {kIdcBlockWrapNote, C::kStatic,
     u"※ﾚｲﾔ3情報識別子折り返し文字数を変更した場合、ログファイルが再読込されます。", 10, 78, 340,
     9},
    {-1, C::kGroupBox, u"テキスト出力時の行頭字下げ文字", 6, 92, 344, 64},
    {-1, C::kStatic, u"A", 12, 106, 10, 9},
    {kIdcBlockIndentFirst, C::kEdit, {}, 24, 104, 60, 13},
    {-1, C::kStatic, u"B", 92, 106, 10, 9},
    {kIdcBlockIndentFirst + 1, C::kEdit, {}, 104, 104, 60, 13},
    {-1, C::kStatic, u"C", 172, 106, 10, 9},
    {kIdcBlockIndentFirst + 2, C::kEdit, {}, 184, 104, 60, 13},
    {-1, C::kStatic, u"D", 252, 106, 10, 9},
    {kIdcBlockIndentFirst + 3, C::kEdit, {}, 264, 104, 60, 13},
    {-1, C::kStatic,
     u"※入力形式：t=ﾀﾌﾞ、s=半角空白（後ろの数字は個数）\n"
     u"　例）t6s2：ﾀﾌﾞ6個と半角空白2個、tttsss：ﾀﾌﾞ3個と半角空白3個",
     12, 124, 334, 26},
    {kIdcBlockTitlesOneRow, C::kCheckBox, u"ブロック・タイトル名１行出力", 10, 161, 160, 12},
    {-1, C::kStatic, u"行頭余白文字数", 10, 179, 70, 9},
    {kIdcBlockMargin, C::kEdit, {}, 84, 177, 30, 13},
    {-1, C::kStatic, u"（強調表示のﾏｰｸ文字埋め込み用）", 120, 179, 200, 9},
};

// The log divide: source and destination rows, the note, the status line and the two buttons.
constexpr DialogControl kDivideControls[] = {
    {kIdcDivideTakeDisplayed, C::kButton, u"→", 7, 7, 16, 12},
    {-1, C::kStatic, u"分割元ログファイル名", 27, 9, 120, 9},
    {kIdcDivideSource, C::kEdit, {}, 7, 21, 250, 13},
    {kIdcDivideBrowseSource, C::kButton, u"参照", 261, 21, 36, 13},
    {kIdcDivideTakeFolder, C::kButton, u"↓", 7, 41, 16, 12},
    {-1, C::kStatic, u"分割先フォルダー名", 27, 43, 120, 9},
    {kIdcDivideFolder, C::kEdit, {}, 7, 55, 250, 13},
    {kIdcDivideBrowseFolder, C::kButton, u"参照", 261, 55, 36, 13},
    {-1, C::kStatic,
     u"分割先フォルダーには、日付毎のログファイルが出力されます。\n\n"
     u"出力ファイル名は、分割元ファイル名の末尾に日付が付加されます。",
     7, 76, 290, 28},
    {kIdcDivideLblStat, C::kStatic, {}, 7, 110, 290, 9},
    {kIdcDivideRun, C::kButton, u"分割実行(&S)", 92, 126, 56, 14},
    {kIdcDivideClose, C::kButton, u"閉じる(&X)", 156, 126, 56, 14},
};

// The start date/time correction: the group shows the correction so far.
constexpr DialogControl kDiffTimeControls[] = {
    {kIdcDiffGroup, C::kGroupBox, u"初期状態からの補正", 7, 4, 262, 34},
    {kIdcDiffCurrent, C::kButton, u"補正日時", 14, 17, 44, 14},
    {kIdcDiffInput, C::kEdit, {}, 62, 17, 130, 14},
    {kIdcDiffReset, C::kButton, u"初期状態に戻す", 196, 17, 66, 14},
    {kIdcDiffApply, C::kButton, u"表示更新", 78, 45, 56, 14},
    {kIdcDiffCancel, C::kButton, u"キャンセル", 142, 45, 56, 14},
};

// The header information: the multi-line text and the close button.
constexpr DialogControl kPropertyControls[] = {
    {kIdcPropertyText, C::kReadOnlyEdit, {}, 7, 7, 417, 209},
    {kIdCancel, C::kButton, u"閉じる(&X)", 187, 224, 56, 14},
};

constexpr DialogTemplate kTemplates[] = {
    {kIddAbout, u"バージョン情報", u"MS UI Gothic", 9, 242, 72, kAboutControls},
    {kIddMain, u"INSログデータ表示", u"MS UI Gothic", 9, 680, 350, kMainControls},
    {kIddSummary, u"検索情報表示", u"MS UI Gothic", 9, 680, 340, kSummaryControls},
    {kIddOption, u"オプション設定", u"MS UI Gothic", 9, 372, 244, kOptionControls},
    {kIddOptMark, {}, u"MS UI Gothic", 9, 356, 194, kOptMarkControls},
    {kIddOptColor, {}, u"MS UI Gothic", 9, 356, 194, kOptColorControls},
    {kIddOptBlock, {}, u"MS UI Gothic", 9, 356, 194, kOptBlockControls},
    {kIddProperty, u"INSログファイル情報", u"ＭＳ ゴシック", 10, 431, 245, kPropertyControls},
    {kIddDivide, u"INSログファイル分割", u"ＭＳ ゴシック", 9, 304, 148, kDivideControls},
    {kIddDiffTime, u"ログデータ出力日時補正", u"ＭＳ ゴシック", 10, 276, 66, kDiffTimeControls},
    {kIddProgress, u"実行中...", u"ＭＳ ゴシック", 9, 231, 82, kProgressControls},
};

// The go-to buttons are commands of their own, as Enter in their edits runs them too.
constexpr ButtonCommand kMainButtons[] = {
    {kIdcGoLine, kIdcGoLine},
    {kIdcGoIndex, kIdcGoIndex},
    {kIdcShowSelection, kCmdShowSelection},
    {kIdcSwapBc, kCmdSwapBc},
    {kIdcSearchAggregate, kCmdSearchAggregate},
    {kIdcCallAggregate, kCmdCallAggregate},
    {kIdcFindNext, kCmdFindNext},
    {kIdcFindPrevious, kCmdFindPrevious},
    {kIdcReload, kCmdReload},
};

constexpr MenuTooltip kMainMenuTooltips[] = {
    {kIdcShowSelection, kMenuMain, kCmdShowSelection},
    {kIdcFindNext, kMenuMain, kCmdFindNext},
    {kIdcFindPrevious, kMenuMain, kCmdFindPrevious},
    {kIdcSearchAggregate, kMenuMain, kCmdSearchAggregate},
    {kIdcCallAggregate, kMenuMain, kCmdCallAggregate},
    {kIdcSwapBc, kMenuMain, kCmdSwapBc},
    {kIdcReload, kMenuContext, kCmdReload},
};

}  // namespace

std::span<const ButtonCommand> MainButtonCommands() {
    return kMainButtons;
}

std::span<const MenuTooltip> MainMenuTooltips() {
    return kMainMenuTooltips;
}

const DialogTemplate* FindDialogTemplate(int templateId) {
    for (const DialogTemplate& dialog : kTemplates) {
        if (dialog.id == templateId) {
            return &dialog;
        }
    }
    return nullptr;
}

const DialogControl* FindDialogControl(const DialogTemplate& dialog, int id) {
    for (const DialogControl& control : dialog.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

}  // namespace tessary::res
