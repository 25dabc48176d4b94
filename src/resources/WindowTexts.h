#pragma once
// The texts the main window and the progress dialog show themselves (the open flow's and the
// tools' texts live with their core code).
#include <string_view>

namespace tessary::res {

// Progress dialog.
inline constexpr std::u16string_view kProgressDefaultTitle = u"実行";
inline constexpr std::u16string_view kProgressRunning = u"中...";
inline constexpr std::u16string_view kProgressPercentFormat = u"%s中... %u%%";
inline constexpr std::u16string_view kProgressBytesSeparator = u" / ";
inline constexpr std::u16string_view kProgressBytesSuffix = u" bytes";
inline constexpr std::u16string_view kAbortQuestion = u"を中止しますか？";
inline constexpr std::u16string_view kAbortCaption = u"中止確認";
inline constexpr int kProgressCloseDelayMs = 500;

// Main window start-up failures, by step.
inline constexpr std::u16string_view kInitAccelerators =
    u"アクセラレータ・キーの設定に失敗しました。";
inline constexpr std::u16string_view kInitRecentMenu =
    u"履歴ファイル名のメニュー登録に失敗しました。";
inline constexpr std::u16string_view kInitSamples =
    u"検索文字列サンプル一覧のメニュー登録に失敗しました。";
inline constexpr std::u16string_view kInitFontSizes =
    u"文字サイズ一覧のメニュー登録に失敗しました。";
inline constexpr std::u16string_view kInitContextMenu =
    u"コンテキスト・メニューの作成に失敗しました。";
inline constexpr std::u16string_view kInitFonts = u"表示フォントの作成に失敗しました。";
inline constexpr std::u16string_view kInitSearchCombo =
    u"検索履歴文字列のコンボボックス・リスト登録に失敗しました。";
inline constexpr std::u16string_view kInitMainDisplay = u"メイン画面の初期表示に失敗しました。";
inline constexpr std::u16string_view kInitTooltips = u"ツールチップの作成に失敗しました。";
inline constexpr std::u16string_view kInitStatusBar = u"ステータスバーの作成に失敗しました。";
inline constexpr std::u16string_view kInitFrameMissing =
    u"分割フレーム・ウィンドウが作成できません。";
inline constexpr std::u16string_view kInitFrameFailed =
    u"分割フレーム・ウィンドウの作成に失敗しました。";
inline constexpr std::u16string_view kInitPlacement =
    u"前回起動時の表示位置とウィンドウ・サイズは、復元されません。";

// Main window tooltips that do not come from menu items.
inline constexpr std::u16string_view kTipGoLine = u"入力された行番号(1～)を表示";
inline constexpr std::u16string_view kTipGoIndex =
    u"入力されたINSメッセージ・インデックス番号(ID=...)を表示";

// Status bar panes: tooltip and width in characters (0 stretches).
struct StatusPane {
    std::u16string_view tooltip;
    int width;
};
inline constexpr StatusPane kStatusPanes[] = {
    {{}, 0},
    {u"表示行番号(1～)", 13},
    {u"INSメッセージ・インデックス番号", 10},
    {u"ログデータ日付", 12},
    {{}, 12},
};
inline constexpr int kStatusPaneCount = 5;

// The open-file dialog.
inline constexpr std::u16string_view kOpenTitle = u"INSログファイルを開く";
inline constexpr std::u16string_view kOpenFilter =
    u"INS ログファイル (*.dat)|*.dat|すべてのファイル (*.*)|*.*||";
inline constexpr std::u16string_view kOpenDefaultExtension = u"dat";
inline constexpr std::u16string_view kOpenHideRr = u"レイヤ2の<RR>を表示しない";
inline constexpr std::u16string_view kOpenHeaderOnly = u"ログファイル・ヘッダー情報の表示のみ";

// The application start: the program's path cannot identify it.
inline constexpr std::u16string_view kBadStartPath = u"プログラム起動パス名が不正です。\n\n<%s>";

// Title: file name + " - " + initial caption.
inline constexpr std::u16string_view kTitleSeparator = u" - ";

}  // namespace tessary::res
