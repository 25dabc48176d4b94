// The option dialog and its three pages: what they show, the keys and buttons that do (and do
// not) close it, the highlight rules stored one by one, the colour controls and the colour
// dialog, reset-all, screenshots; and command 32772 of the main window with what follows an
// apply (repaint, new titles, reconversion, reset).
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "decode/SearchDefinition.h"
#include "display/CPaneWnd.h"
#include "display/DisplaySource.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/OpenFlow.h"
#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "settings/COptBlockPage.h"
#include "settings/COptColorPage.h"
#include "settings/COptMarkPage.h"
#include "settings/COptionDlg.h"
#include "tools/CProgressDlg.h"

namespace tessary::test {
namespace {

constexpr int kEndOk = static_cast<int>(Answer::kOk);
constexpr int kEndCancel = static_cast<int>(Answer::kCancel);

QColor ColorOf(uint32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

template <typename T>
T* ControlOf(const COptionDlg& dialog, int page, int id) {
    QWidget* widget = nullptr;
    switch (page) {
        case 0:
            widget = dialog.MarkPage()->Control(id);
            break;
        case 1:
            widget = dialog.ColorPage()->Control(id);
            break;
        case 2:
            widget = dialog.BlockPage()->Control(id);
            break;
        default:
            widget = dialog.Control(id);
            break;
    }
    return qobject_cast<T*>(widget);
}

void ClickTab(COptionDlg& dialog, int index) {
    QTabBar* bar = dialog.Tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

void ClickButton(COptionDlg& dialog, int page, int id) {
    auto* button = ControlOf<QAbstractButton>(dialog, page, id);
    if (button != nullptr) {
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
}

void ClickColorItem(COptionDlg& dialog, int item) {
    auto* list = ControlOf<QListWidget>(dialog, 1, res::kIdcColorList);
    list->scrollToItem(list->item(item));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(item)).center());
}

// The colour in the middle of the sample's left margin (inside the sample, beside its text).
QColor SampleBackground(COptionDlg& dialog) {
    QWidget* sample = ControlOf<QWidget>(dialog, 1, res::kIdcColorSample);
    return sample->grab().toImage().pixelColor(2, sample->height() / 2);
}

// Pixels of `image` that have exactly `color`.
int CountColor(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y).rgb() == color.rgb();
        }
    }
    return count;
}

}  // namespace

// The dialog over a settings record of its own.
class OptionDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeUi> m_ui;
    SettingsRecord m_settings;
    SearchCondition m_conditions[kMarkIfTextCount];
    std::unique_ptr<OptionModel> m_model;
    std::unique_ptr<COptionDlg> m_dialog;

    COptionDlg& Dialog() { return *m_dialog; }

    // A new dialog over the present settings, shown.
    bool Open() {
        m_model = std::make_unique<OptionModel>(m_settings, m_conditions);
        m_dialog = std::make_unique<COptionDlg>(nullptr, *m_model);
        std::u16string failure;
        if (!m_dialog->Initialize(&failure)) {
            return false;
        }
        m_dialog->show();
        return QTest::qWaitForWindowExposed(m_dialog.get());
    }

    std::u16string Rule(int i) const {
        return std::u16string(SlotText(m_settings.para.MarkIfText[i]));
    }

private slots:
    void init() {
        m_ui = std::make_unique<FakeUi>();
        ResetSettings(m_settings);
        m_settings.searchHistory = {u"<Warning>", u"<CH=01>"};
        for (size_t i = 0; i < kMarkIfTextCount; ++i) {
            m_conditions[i].Compile(SlotText(m_settings.para.MarkIfText[i]), 2);
        }
        QVERIFY(Open());
    }

    void cleanup() {
        m_dialog.reset();
        m_model.reset();
        m_ui.reset();
    }

    void OpensWithThreePagesOverTheSettings() {
        QCOMPARE(Dialog().windowTitle(), QStringLiteral("オプション設定"));
        QTabWidget* tabs = Dialog().Tabs();
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("強調表示"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("文字色"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("ブロック情報"));
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(Dialog().MarkPage()->isVisible() && Dialog().MarkPage()->isEnabled());
        QVERIFY(!Dialog().ColorPage()->isEnabled() && !Dialog().BlockPage()->isEnabled());
        QCOMPARE(ControlOf<QPushButton>(Dialog(), -1, res::kIdcOptionApply)->text(),
                 QStringLiteral("設定(&U)"));
        QCOMPARE(ControlOf<QPushButton>(Dialog(), -1, res::kIdcOptionCancel)->text(),
                 QStringLiteral("キャンセル(&X)"));
        QCOMPARE(ControlOf<QPushButton>(Dialog(), -1, res::kIdcOptionReset)->text(),
                 QStringLiteral("全ての設定を初期状態に戻す(&I)..."));

        // Highlight rows: mark, search text with the history to choose from, blocks.
        const QString marks[] = {"@", "!", "#", "&"};
        for (int rule = 0; rule < 4; ++rule) {
            auto* mark = ControlOf<QLineEdit>(Dialog(), 0, res::kIdcMarkText + 3 * rule);
            QComboBox* box = Dialog().MarkPage()->SearchBox(rule);
            QCOMPARE(mark->text(), marks[rule]);
            QVERIFY(mark->isEnabled() && box->isEnabled());
            QCOMPARE(box->currentText(), QString());
            QCOMPARE(box->count(), 2);
            QCOMPARE(box->itemText(1), QStringLiteral("<CH=01>"));
            QCOMPARE(box->toolTip(), QStringLiteral("メイン画面の検索履歴を参照"));
        }

        // Colour items, the first selected; the radio buttons name the base items.
        auto* list = ControlOf<QListWidget>(Dialog(), 1, res::kIdcColorList);
        QCOMPARE(list->count(), 11);
        QCOMPARE(list->item(3)->text(), QStringLiteral("ﾚｲﾔ2<RR>情報"));
        QCOMPARE(list->item(10)->text(), QStringLiteral("検索文字列"));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(ControlOf<QRadioButton>(Dialog(), 1, 1631)->text(),
                 QStringLiteral("警告行/ﾚｲﾔ1情報"));
        QVERIFY(ControlOf<QRadioButton>(Dialog(), 1, 1633)->isChecked());

        // Block settings.
        QCOMPARE(ControlOf<QLineEdit>(Dialog(), 2, 1701)->text(), QStringLiteral("Ｂ  RX  局 →"));
        QCOMPARE(ControlOf<QLineEdit>(Dialog(), 2, 1722)->text(), QStringLiteral("t12s2"));
        QCOMPARE(ControlOf<QLineEdit>(Dialog(), 2, 1710)->text(), QStringLiteral("48"));
        QCOMPARE(ControlOf<QLineEdit>(Dialog(), 2, 1731)->text(), QStringLiteral("2"));
        QVERIFY(!ControlOf<QCheckBox>(Dialog(), 2, 1730)->isChecked());
        QCOMPARE(ControlOf<QLabel>(Dialog(), 2, 1711)->palette().color(QPalette::WindowText),
                 QColor(255, 0, 0));

        // A tab click shows and enables its page only.
        ClickTab(Dialog(), 2);
        QCOMPARE(Dialog().CurrentTab(), 2);
        QVERIFY(Dialog().BlockPage()->isVisible() && Dialog().BlockPage()->isEnabled());
        QVERIFY(!Dialog().MarkPage()->isVisible() && !Dialog().MarkPage()->isEnabled());
    }

    void EnterAndEscKeepItOpenAndTheCloseBoxCancels() {
        auto* mark = ControlOf<QLineEdit>(Dialog(), 0, res::kIdcMarkText);
        QTest::mouseClick(mark, Qt::LeftButton, {}, mark->rect().center());
        QTest::keyClick(mark, Qt::Key_Return);
        QTest::keyClick(mark, Qt::Key_Escape);
        QTest::keyClick(Dialog().MarkPage()->SearchBox(1)->lineEdit(), Qt::Key_Escape);
        QTest::keyClick(&Dialog(), Qt::Key_Escape);
        QTest::keyClick(&Dialog(), Qt::Key_Enter);
        QVERIFY(Dialog().isVisible());
        QVERIFY(Dialog().close());
        QCOMPARE(Dialog().result(), kEndCancel);
        QCOMPARE(Rule(0), u"@;;");
    }

    void CancelStoresNothing() {
        TypeOver(Dialog().MarkPage()->SearchBox(0), QStringLiteral("<abc>"));
        ClickColorItem(Dialog(), 1);
        m_ui->colors = {0x0000FF};
        ClickButton(Dialog(), 1, res::kIdcColorText);
        ClickButton(Dialog(), -1, res::kIdcOptionCancel);
        QVERIFY(!Dialog().isVisible());
        QCOMPARE(Dialog().result(), kEndCancel);
        QCOMPARE(Rule(0), u"@;;");
        QCOMPARE(m_settings.para.Color[1].text, m_settings.para.DefColor[1].text);
    }

    void ApplyStoresTheRulesThatCompileAndStaysOpenForTheOthers() {
        TypeOver(Dialog().MarkPage()->SearchBox(1), QStringLiteral("<Warning> | <CRC>"));
        TypeOver(ControlOf<QLineEdit>(Dialog(), 0, res::kIdcMarkBlocks + 3), QStringLiteral("ab"));
        TypeOver(Dialog().MarkPage()->SearchBox(2), QStringLiteral("<abc"));
        ClickTab(Dialog(), 2);
        ClickButton(Dialog(), -1, res::kIdcOptionApply);

        QVERIFY(Dialog().isVisible());
        QCOMPARE(Dialog().CurrentTab(), 0);
        QVERIFY(Dialog().MarkPage()->isVisible());
        QCOMPARE(m_ui->messages.size(), size_t{1});
        QCOMPARE(m_ui->messages[0].text,
                 QStringLiteral("強調表示ページの「検索文字」が不正です。\n\nID = 2"));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("オプション設定失敗"));
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kExclamation);
        QCOMPARE(Rule(1), u"!;<Warning> | <CRC>;00000003");
        QCOMPARE(m_conditions[1].Match(u"CRC error"), 0);
        QCOMPARE(Rule(2), u"#;;");

        // Corrected, the next apply stores it and ends the dialog.
        TypeOver(Dialog().MarkPage()->SearchBox(2), QStringLiteral("<abc>"));
        ClickButton(Dialog(), -1, res::kIdcOptionApply);
        QVERIFY(!Dialog().isVisible());
        QCOMPARE(Dialog().result(), kEndOk);
        QCOMPARE(Dialog().ResultFlags(), 0);
        QCOMPARE(Rule(2), u"#;<abc>;00000000");
    }

    void RulesTakeTheMarginTypedOnTheBlockPage() {
        TypeOver(ControlOf<QLineEdit>(Dialog(), 0, res::kIdcMarkText), QStringLiteral("!!!!"));
        TypeOver(Dialog().MarkPage()->SearchBox(0), QStringLiteral("x"));
        ClickTab(Dialog(), 2);
        TypeOver(ControlOf<QLineEdit>(Dialog(), 2, res::kIdcBlockMargin), QStringLiteral("3"));
        ClickButton(Dialog(), -1, res::kIdcOptionApply);
        QCOMPARE(Dialog().result(), kEndOk);
        QCOMPARE(m_settings.para.SpcCnt, 3);
        QCOMPARE(m_conditions[0].Mark(), u"!!!");
    }

    void ThePlaceholderOfAnEmptyHistoryLeavesTheSearchBoxEmpty() {
        m_settings.searchHistory.clear();
        QVERIFY(Open());
        QComboBox* box = Dialog().MarkPage()->SearchBox(0);
        QCOMPARE(box->count(), 1);
        QCOMPARE(box->itemText(0), QStringLiteral("(メイン画面の検索履歴なし)"));
        box->showPopup();
        QAbstractItemView* view = box->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(0, 0)).center());
        QCOMPARE(box->currentText(), QString());
        QCOMPARE(box->count(), 1);
        ClickButton(Dialog(), -1, res::kIdcOptionApply);
        QCOMPARE(Rule(0), u"@;;00000000");
    }

    void ColourControlsFollowTheItemClass() {
        ClickTab(Dialog(), 1);
        const auto enabled = [this](int id) {
            return ControlOf<QWidget>(Dialog(), 1, id)->isEnabled();
        };
        for (int item = 0; item < kColorItemCount; ++item) {
            ClickColorItem(Dialog(), item);
            const int colorClass = kColorItems[item].colorClass;
            QVERIFY(enabled(res::kIdcColorText) && enabled(res::kIdcColorBack));
            QCOMPARE(enabled(res::kIdcColorNormalText), colorClass != 1);
            QCOMPARE(enabled(res::kIdcColorNormalBack), colorClass != 1);
            QCOMPARE(enabled(res::kIdcColorKeepText), colorClass > 4);
            QCOMPARE(enabled(res::kIdcColorKeepBack), colorClass > 4);
            // Highlights keep the text colour by default; their base item can be chosen.
            const bool highlight = colorClass >= 5 && colorClass <= 8;
            QCOMPARE(ControlOf<QCheckBox>(Dialog(), 1, res::kIdcColorKeepText)->isChecked(),
                     highlight);
            QCOMPARE(enabled(res::kIdcColorBaseFirst), highlight);
        }
        // Checking "keep" on the search string item: kept, and the base item can be chosen.
        auto* keepText = ControlOf<QCheckBox>(Dialog(), 1, res::kIdcColorKeepText);
        QTest::mouseClick(keepText, Qt::LeftButton, {}, keepText->rect().center());
        QVERIFY(keepText->isChecked());
        QVERIFY(enabled(res::kIdcColorBaseFirst + 3));
        QTest::mouseClick(keepText, Qt::LeftButton, {}, keepText->rect().center());
        QVERIFY(keepText->isChecked());  // a click never unchecks it
        QCOMPARE(Dialog().ColorPage()->Colors().Colors(10).text, kKeepColor);
        // Only the keep box of the changed colour is cleared by a chosen colour.
        m_ui->colors = {0x00AA00};
        ClickButton(Dialog(), 1, res::kIdcColorText);
        QVERIFY(!keepText->isChecked());
        QVERIFY(!enabled(res::kIdcColorBaseFirst + 3));
    }

    void ColoursComeFromTheColourDialogWhileApplyAndCancelWait() {
        ClickTab(Dialog(), 1);
        ClickColorItem(Dialog(), 5);  // 強調表示#0: keeps the text colour
        QCOMPARE(SampleBackground(Dialog()), ColorOf(0xFFE8C8));
        bool endButtonsEnabled = true;
        m_ui->whileColorOpen = [&](const QString&) {
            endButtonsEnabled = Dialog().Control(res::kIdcOptionApply)->isEnabled() ||
                                Dialog().Control(res::kIdcOptionCancel)->isEnabled();
        };
        m_ui->colors = {0x0000FF, 0x00FF00};
        ClickButton(Dialog(), 1, res::kIdcColorText);
        ClickButton(Dialog(), 1, res::kIdcColorBack);
        QCOMPARE(m_ui->colorTitles, (QStringList{"強調表示#0の文字色", "強調表示#0の背景色"}));
        QVERIFY(!endButtonsEnabled);
        QVERIFY(Dialog().Control(res::kIdcOptionApply)->isEnabled());
        QVERIFY(!ControlOf<QCheckBox>(Dialog(), 1, res::kIdcColorKeepText)->isChecked());
        QCOMPARE(SampleBackground(Dialog()), QColor(0, 255, 0));
        auto* sample = ControlOf<QLabel>(Dialog(), 1, res::kIdcColorSample);
        QCOMPARE(sample->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(sample->text(), QStringLiteral("\nサンプル文字列\n\n0123456789\n@ABCD-efgh"));
        // A cancelled colour dialog changes nothing.
        ClickButton(Dialog(), 1, res::kIdcColorBack);
        QCOMPARE(SampleBackground(Dialog()), QColor(0, 255, 0));
        QCOMPARE(m_settings.para.Color[5].back, 0xFFE8C8u);  // not before apply

        ClickButton(Dialog(), -1, res::kIdcOptionApply);
        QCOMPARE(Dialog().result(), kEndOk);
        QCOMPARE(m_settings.para.Color[5].text, 0x0000FFu);
        QCOMPARE(m_settings.para.Color[5].back, 0x00FF00u);
    }

    void KeptColoursShowTheBaseItemChosenWithTheRadioButtons() {
        ClickTab(Dialog(), 1);
        ClickColorItem(Dialog(), 6);  // 強調表示#1: text kept
        auto* sample = ControlOf<QLabel>(Dialog(), 1, res::kIdcColorSample);
        QCOMPARE(sample->palette().color(QPalette::WindowText), ColorOf(0xFF0000));  // layer 3
        auto* warning = ControlOf<QRadioButton>(Dialog(), 1, res::kIdcColorBaseFirst + 1);
        QTest::mouseClick(warning, Qt::LeftButton, {}, warning->rect().center());
        QVERIFY(warning->isChecked());
        QCOMPARE(sample->palette().color(QPalette::WindowText), ColorOf(0x0000FF));
        // Taking the normal line's background.
        ClickButton(Dialog(), 1, res::kIdcColorNormalBack);
        QCOMPARE(SampleBackground(Dialog()), ColorOf(m_settings.para.Color[1].back));
    }

    void DefaultColoursAskFirstAndNoChangesNothing() {
        ClickTab(Dialog(), 1);
        ClickColorItem(Dialog(), 2);
        m_ui->colors = {0x123456};
        ClickButton(Dialog(), 1, res::kIdcColorText);
        m_ui->answers = {Answer::kNo};
        ClickButton(Dialog(), 1, res::kIdcColorDefaults);
        QCOMPARE(m_ui->messages.size(), size_t{1});
        QCOMPARE(m_ui->messages[0].text,
                 QStringLiteral("全ての設定項目をデフォルト色に戻します。\n\nよろしいですか？"));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("文字色"));
        QCOMPARE(m_ui->messages[0].buttons, MessageButtons::kYesNo);
        QCOMPARE(Dialog().ColorPage()->Colors().Colors(2).text, 0x123456u);
        m_ui->answers = {Answer::kYes};
        ClickButton(Dialog(), 1, res::kIdcColorDefaults);
        QCOMPARE(Dialog().ColorPage()->Colors().Colors(2).text, 0x0000FFu);
    }

    void ResetAllAsksAndEndsWithEveryBit() {
        m_ui->answers = {Answer::kNo};
        ClickButton(Dialog(), -1, res::kIdcOptionReset);
        QVERIFY(Dialog().isVisible());
        QCOMPARE(m_ui->messages.size(), size_t{1});
        QCOMPARE(m_ui->messages[0].text,
                 QStringLiteral("全てのオプション設定を初期状態に戻します。\n\nよろしいですか？\n\n"
                                "※ログデータ表示中は、ログファイルが再読込されます。"));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("全設定初期化"));
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kQuestion);
        m_ui->answers = {Answer::kYes};
        ClickButton(Dialog(), -1, res::kIdcOptionReset);
        QVERIFY(!Dialog().isVisible());
        QCOMPARE(Dialog().result(), kEndOk);
        QCOMPARE(Dialog().ResultFlags(), kOptionResetAll);
    }

    void RendersEachPage() {
        const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(folder));
        const char* names[] = {"options-mark.png", "options-color.png", "options-block.png"};
        ClickTab(Dialog(), 1);
        ClickColorItem(Dialog(), 5);
        for (int page = 0; page < 3; ++page) {
            ClickTab(Dialog(), page);
            QWidget* shown = Dialog().Tabs()->currentWidget();
            // Every control of the page lies inside the area the tab control gives the page.
            const QRect area = shown->parentWidget()->rect();
            QVERIFY2(area.contains(shown->geometry()), qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                                                      .arg(shown->width())
                                                                      .arg(shown->height())
                                                                      .arg(area.width())
                                                                      .arg(area.height())));
            for (QWidget* child : shown->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                QVERIFY2(shown->rect().contains(child->geometry()),
                         qPrintable(child->property("controlId").toString()));
            }
            // Every control of the dialog lies inside the dialog.
            QVERIFY(Dialog().rect().contains(Dialog().Tabs()->geometry()));
            const QImage image = Dialog().grab().toImage();
            QVERIFY(image.save(folder + QLatin1Char('/') + QLatin1String(names[page])));
            QCOMPARE(image.size(), Dialog().size());
        }
        // The colour page's sample shows the highlight's background.
        ClickTab(Dialog(), 1);
        QVERIFY(CountColor(Dialog().grab().toImage(), ColorOf(0xFFE8C8)) > 500);
    }
};

TESSARY_GUI_TEST(OptionDialogTest);

// Command 32772 of the main window over the demo log.
class OptionCommandTest : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    bool m_opened = false;
    bool m_stayedOpen = false;

    // Runs the command; `act` works on the open dialog and should end it.
    void RunOptions(const std::function<void(COptionDlg&)>& act) {
        m_stayedOpen = false;
        m_opened = WhileModal<COptionDlg>([this] { Window().ExecuteCommand(res::kCmdOption); },
                                          [this, &act](COptionDlg& dialog) {
                                              act(dialog);
                                              if (dialog.isVisible()) {
                                                  m_stayedOpen = true;
                                                  dialog.done(kEndCancel);
                                              }
                                          });
    }

private slots:
    void init() { QVERIFY(StartWindow()); }

    void cleanup() { CloseWindow(); }

    void IsAlwaysEnabledAndCancelChangesNothing() {
        QVERIFY(Window().IsCommandEnabled(res::kCmdOption));
        QCOMPARE(Window().MenuAction(res::kCmdOption)->text(),
                 QStringLiteral("オプション設定(&E)..."));
        RunOptions([](COptionDlg& dialog) { ClickButton(dialog, -1, res::kIdcOptionCancel); });
        QVERIFY(m_opened);
        QVERIFY(!m_stayedOpen);
        QVERIFY(m_ui->messages.empty());
    }

    void OnlyColoursChangedRepaintsWithoutReconverting() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        const int32_t lines = Window().Frame()->LineCount();
        const QColor chosen(0x30, 0xC0, 0x90);
        m_ui->colors = {0x90C030};
        ProgressShown progress;
        RunOptions([](COptionDlg& dialog) {
            ClickTab(dialog, 1);
            ClickColorItem(dialog, 1);  // 通常行
            ClickButton(dialog, 1, res::kIdcColorBack);
            ClickButton(dialog, -1, res::kIdcOptionApply);
        });
        QVERIFY(m_opened);
        QVERIFY(!m_stayedOpen);
        QCOMPARE(progress.Count(), 0);
        QCOMPARE(Window().Frame()->LineCount(), lines);
        QCOMPARE(Window().Settings().para.Color[1].back, 0x90C030u);
        QCoreApplication::processEvents();
        const QImage pane = Window().Frame()->Pane(0)->grab().toImage();
        QVERIFY(CountColor(pane, chosen) > pane.width() * pane.height() / 4);
    }

    void NewWrapWidthReconvertsAndOutOfRangeWidthsChangeNothing() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        const int32_t lines48 = Window().Frame()->LineCount();
        ProgressShown progress;
        const auto typeWrap = [](const QString& text) {
            return [text](COptionDlg& dialog) {
                ClickTab(dialog, 2);
                TypeOver(ControlOf<QLineEdit>(dialog, 2, res::kIdcBlockWrap), text);
                ClickButton(dialog, -1, res::kIdcOptionApply);
            };
        };
        RunOptions(typeWrap(QStringLiteral("60")));
        QVERIFY(m_opened);
        QCOMPARE(Window().Settings().para.BlockLen, 60);
        QCOMPARE(progress.Count(), 1);
        QVERIFY(Window().LoadedConverter() != nullptr);
        // Wider layer-3 rows need fewer display lines.
        QVERIFY(Window().Frame()->LineCount() < lines48);
        const int32_t lines60 = Window().Frame()->LineCount();

        for (const QString& typed : {QStringLiteral("0"), QStringLiteral("200")}) {
            RunOptions(typeWrap(typed));
            QVERIFY(m_opened);
            QCOMPARE(Window().Settings().para.BlockLen, 60);
            QCOMPARE(progress.Count(), 1);
            QCOMPARE(Window().Frame()->LineCount(), lines60);
        }
    }

    void NewBlockTitlesShowInTheTitleRowWithoutReconverting() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        ProgressShown progress;
        RunOptions([](COptionDlg& dialog) {
            ClickTab(dialog, 2);
            TypeOver(ControlOf<QLineEdit>(dialog, 2, res::kIdcBlockTitleFirst + 1),
                     QStringLiteral("交換機側 受信"));
            ClickButton(dialog, -1, res::kIdcOptionApply);
        });
        QVERIFY(m_opened);
        QCOMPARE(progress.Count(), 0);
        QVERIFY(m_ui->messages.empty());
        const DisplayLine* title = Window().Frame()->Line(0);
        const QString text = ToQString(Window().Frame()->Table().TextOf(title));
        QVERIFY2(text.startsWith(QStringLiteral("Ａ  TX  局 ←\n交換機側 受信\nＣ")),
                 qPrintable(text));
    }

    void ResetAllKeepsDateFormatAndRrAndReloads() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        QVERIFY(Window().ExecuteCommand(res::kCmdDateFormatLast));
        QVERIFY(Window().ExecuteCommand(res::kCmdHideRr));
        CanPara& para = Window().Settings().para;
        const uint8_t dateFormat = para.Flag[0] & kFlag0DateFormatMask;
        QVERIFY(dateFormat != 0);
        para.Flag[1] |= kFlag1TitlesOneRow;
        para.Color[5] = {0x111111, 0x222222};
        CopyToSlot(para.BlockDef[0], u";changed;0");
        QCOMPARE(Window().Search(u"<CH=01>", -1), 0);
        ProgressShown progress;
        m_ui->answers = {Answer::kYes};
        RunOptions([](COptionDlg& dialog) { ClickButton(dialog, -1, res::kIdcOptionReset); });
        QVERIFY(m_opened);
        QVERIFY(!m_stayedOpen);
        QCOMPARE(m_ui->Captions(), QStringList{QStringLiteral("全設定初期化")});
        QCOMPARE(para.Flag[0] & kFlag0DateFormatMask, dateFormat);
        QVERIFY((para.Flag[1] & kFlag1HideRr) != 0);
        QVERIFY((para.Flag[1] & kFlag1TitlesOneRow) == 0);
        QCOMPARE(para.Color[5].back, para.DefColor[5].back);
        QCOMPARE(ParseBlockDef(SlotText(para.BlockDef[0])).title, u"Ａ  TX  局 ←");
        QCOMPARE(ParseDefinition(SlotText(para.MarkIfText[kSearchSlot])).pattern, u"<CH=01>");
        QCOMPARE(progress.Count(), 1);
        QVERIFY(Window().LoadedConverter() != nullptr);
    }
};

TESSARY_GUI_TEST(OptionCommandTest);

}  // namespace tessary::test

#include "test_option_dlg.moc"
