#include "resources/DialogTables.h"

#include "resources/ResourceIds.h"

namespace tessary::res {
namespace {

using C = ControlKind;

constexpr DialogControl kMainControls[] = {
    {-1, C::kGroupBox, kSelectionGroupTitle, 4, 2, 340, 30},
    {kIdcGoLine, C::kButton, u"行番号", 10, 13, 28, 13},
    {kIdcLineNumber, C::kEdit, {}, 40, 13, 48, 13},
    {kIdcGoIndex, C::kButton, u"ｲﾝﾃﾞｯｸｽ番号", 92, 13, 44, 13},
    {kIdcIndexNumber, C::kEdit, {}, 138, 13, 40, 13},
    {kIdcSelectionTime, C::kReadOnlyEdit, {}, 182, 13, 80, 13},
    {kIdcShowSelection, C::kButton, u"選択行表示", 266, 13, 40, 13},
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

// The aggregation window: the selection group and the pane frame.
constexpr DialogControl kSummaryControls[] = {
    {-1, C::kGroupBox, kSelectionGroupTitle, 4, 2, 308, 30},
    {kIdcGoLine, C::kButton, u"行番号", 10, 13, 28, 13},
    {kIdcLineNumber, C::kEdit, {}, 40, 13, 48, 13},
    {kIdcGoIndex, C::kButton, u"ｲﾝﾃﾞｯｸｽ番号", 92, 13, 44, 13},
    {kIdcIndexNumber, C::kEdit, {}, 138, 13, 40, 13},
    {kIdcSelectionTime, C::kReadOnlyEdit, {}, 182, 13, 80, 13},
    {kIdcShowSelection, C::kButton, u"選択行表示", 266, 13, 40, 13},
    {kIdcPaneFrame, C::kStatic, u"(IDC_LBLPANEFRAME)", 4, 35, 672, 300},
};

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

constexpr DialogTemplate kTemplates[] = {
    {kIddAbout, u"バージョン情報", u"MS UI Gothic", 9, 242, 72, kAboutControls},
    {kIddMain, u"INSログデータ表示", u"MS UI Gothic", 9, 680, 350, kMainControls},
    {kIddSummary, u"検索情報表示", u"MS UI Gothic", 9, 680, 340, kSummaryControls},
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
