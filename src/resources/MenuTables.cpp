#include "resources/MenuTables.h"

#include "resources/ResourceIds.h"

namespace tessary::res {
namespace {

using K = MenuEntryKind;

constexpr MenuEntry kMainMenu[] = {
    {K::kPopup, 0, u"ファイル(&F)"},
    {K::kItem, kCmdOpen, u"INSログファイルを開く(&O)..."},
    {K::kItem, kCmdProperty, u"ファイル・プロパティ(&P)...\tCtrl+P"},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdSaveCorrection, u"補正日時をINSログファイルに上書保存する..."},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdDivide, u"INSログファイルを分割する(&D)..."},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdOption, u"オプション設定(&E)..."},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdReload, u"ログファイル再読み込み\tF2"},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdClearRecent, u"(履歴ファイル名を全て削除する...)"},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdExit, u"終了(&X)"},
    {K::kEnd, 0, {}},
    {K::kPopup, 0, u"検索(&S)"},
    {K::kItem, kCmdFocusSearch, u"検索文字列(&F)\tCtrl+F"},
    {K::kItem, kCmdFindNext, u"次(下方向)を検索(&N)\tF3"},
    {K::kItem, kCmdFindPrevious, u"前(上方向)を検索(&P)\tShift+F3"},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdSearchAggregate, u"検索文字列と一致した情報を集約して表示する(&M)..."},
    {K::kItem, kCmdCallAggregate, u"呼設定に関連する情報を集約して表示する(&C)..."},
    {K::kItem, kCmdCallList, u"呼一覧(&L)...\tCtrl+L"},
    {K::kSeparator, 0, {}},
    {K::kPopup, 0, kSamplePopupText},
    {K::kItem, kCmdSampleFirst, u"(検索サンプル)"},
    {K::kEnd, 0, {}},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdClearSearchHistory, u"検索履歴を全て削除する(&D)..."},
    {K::kEnd, 0, {}},
    {K::kPopup, 0, u"ウィンドウ(&W)"},
    {K::kItem, kCmdShowSelection, u"現在の選択行を表示(&S)\tF9"},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdLayoutColumns, u"ブロック表示幅を均等に配置する(&E)\tCtrl+F5"},
    {K::kItem, kCmdSwapBc, u"ブロックBとCを交互に入れ替える(&X)\tF5"},
    {K::kItem, kCmdAscendingOrder, u"ブロックの並びを昇順に戻す(&B)\tShift+F5"},
    {K::kSeparator, 0, {}},
    {K::kPopup, 0, u"文字サイズ(&Z)"},
    {K::kItem, kCmdFontSizeFirst, u"(文字サイズ)"},
    {K::kEnd, 0, {}},
    {K::kPopup, 0, u"日付表示形式(&T)"},
    {K::kItem, kCmdDateFormatFirst, u"「日」のみ"},
    {K::kItem, kCmdDateFormatFirst + 1, u"「月日」"},
    {K::kItem, kCmdDateFormatFirst + 2, u"「西暦下２桁年と月日」"},
    {K::kItem, kCmdDateFormatFirst + 3, u"「西暦４桁年と月日」"},
    {K::kEnd, 0, {}},
    {K::kItem, kCmdHideRr, u"レイヤ2の<RR>を表示しない(&R)"},
    {K::kEnd, 0, {}},
    {K::kPopup, 0, u"ヘルプ(&H)"},
    {K::kItem, kCmdAbout, u"バージョン情報(&A)..."},
    {K::kEnd, 0, {}},
};

constexpr MenuEntry kSummaryMenu[] = {
    {K::kPopup, 0, u"ウィンドウ(&W)"},
    {K::kItem, kCmdShowSelection, u"現在の選択行を表示(&S)\tF9"},
    {K::kItem, kCmdLayoutColumns, u"ブロック表示幅を均等に配置する(&E)\tCtrl+F5"},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdClose, u"閉じる(&C)\tAlt+F4"},
    {K::kEnd, 0, {}},
};

constexpr MenuEntry kContextMenu[] = {
    {K::kPopup, 0, u"INSログデータ表示ウィンドウ"},
    {K::kItem, kCmdCopyWord, u"表示文字列 <%s> をコピー"},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdCopyRange, u"選択行から、現在行までの表示内容%sをコピー"},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdCorrectLine, u"現在行のログデータ日時%sを補正..."},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdSwapBc, u"ブロックBとCを交互に入れ替える(&X)\tF5"},
    {K::kItem, kCmdAscendingOrder, u"ブロックの並びを昇順に戻す"},
    {K::kItem, kCmdExchangeFirst, u"ブロック位置交換不可"},
    {K::kItem, kCmdExchangeFirst + 1, u"ブロック位置交換不可"},
    {K::kItem, kCmdExchangeFirst + 2, u"ブロック位置交換不可"},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdReload, u"ログファイル再読み込み\tF2"},
    {K::kEnd, 0, {}},
    {K::kPopup, 0, u"検索情報集約表示ウィンドウ"},
    {K::kItem, kCmdCopyRange, u"選択行から、現在行までの表示内容%sをコピー"},
    {K::kSeparator, 0, {}},
    {K::kItem, kCmdLayoutColumns, u"ブロック表示幅を均等に配置する(&E)\tCtrl+F5"},
    {K::kEnd, 0, {}},
};

constexpr SearchSample kSamples[] = {
    {kCmdSampleOr, u"ORの例: <Warning> | <規定外> | <対象外> | <CRCエラー>"},
    {kCmdSampleAnd, u"ANDの例: <呼設定> <CH=01>"},
    {kCmdSampleFirst, u"'<>'で囲まない場合は空白を含めて１個の単語扱い: 00000 TM"},
};

}  // namespace

std::span<const MenuEntry> MenuTemplate(int menuId) {
    switch (menuId) {
        case kMenuMain:
            return kMainMenu;
        case kMenuSummary:
            return kSummaryMenu;
        case kMenuContext:
            return kContextMenu;
        default:
            return {};
    }
}

std::u16string_view MenuItemText(int menuId, int id) {
    for (const MenuEntry& entry : MenuTemplate(menuId)) {
        if (entry.kind == MenuEntryKind::kItem && entry.id == id) {
            return entry.text;
        }
    }
    return {};
}

std::span<const SearchSample> SearchSamples() {
    return kSamples;
}

}  // namespace tessary::res
