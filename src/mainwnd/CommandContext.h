#pragma once
// What the command groups may ask of the window they serve. A window with block panes (the main
// window, an aggregation window) gives a PaneCommandContext; the main window adds its files, its
// search box and its settings. Groups never see the window class itself.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decode/CTessaryCan.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "mainwnd/Aggregation.h"
#include "platform/File.h"
#include "platform/UiService.h"
#include "settings/SettingsRecord.h"

namespace tessary {

class ClipboardService;

class PaneCommandContext {
public:
    virtual ~PaneCommandContext() = default;

    // --- what the window holds
    virtual SettingsRecord& Settings() = 0;
    virtual const DisplayLineTable& Table() const = 0;
    // The loaded converter, or nullptr.
    virtual CTessaryCan* Converter() const = 0;
    virtual UiService& Ui() = 0;
    virtual ClipboardService& Clipboard() = 0;
    // The caption of the window's message boxes.
    virtual std::u16string Caption() const = 0;
    // The heading line of a range copy.
    virtual std::u16string CopyHeading() const = 0;

    // --- message pane and cursor
    virtual void SetStatusText(int pane, std::u16string_view text) = 0;
    // Sets the message pane and draws it at once (before a long job).
    virtual void ShowStatusNow(std::u16string_view text) = 0;
    virtual void SetWaitCursor(bool wait) = 0;

    // --- the block panes
    virtual void ShowLine(int32_t line, bool groupStart, bool select, bool takeFocus) = 0;
    virtual void SelectLine(int32_t line) = 0;
    virtual void RedrawPanes() = 0;
    // Top and bottom visible display lines (-1 when unknown).
    virtual void VisibleLines(int32_t* top, int32_t* bottom) const = 0;
    // The block pane position `position` shows, or -1.
    virtual int PaneBlock(int position) const = 0;
    // Exchanges the blocks of two pane positions; (-1, -1) gives every position its own block.
    virtual void SwapPanes(int first, int second) = 0;
    virtual void LayoutColumns() = 0;
    // The pane position and display line at which the context menu was last opened.
    virtual int ContextPane() const = 0;
    virtual int32_t CurrentLine() const = 0;

    // --- controls and menu items
    virtual std::u16string ControlText(int id) const = 0;
    virtual void SetControlText(int id, std::u16string_view text) = 0;
    // Focus to a control, optionally with its whole text selected.
    virtual void FocusControl(int id, bool selectAll) = 0;
    // The present text of a menu item (menu bar or context menu); empty when there is none.
    virtual std::u16string MenuItemText(int id) const = 0;
};

class MainCommandContext : public virtual PaneCommandContext {
public:
    // The five compiled rules: highlight rules 0-3 and the search (slot 4).
    virtual SearchCondition* Conditions() = 0;
    virtual PathString LoadedPath() const = 0;

    // --- files
    // Open with the save prompt of an unsaved correction; the open flow's result.
    virtual int32_t Open(const PathString& path, int lineChoice) = 0;
    // Converts the loaded file again with the present settings.
    virtual int32_t Reconvert() = 0;
    // The header information of a file, without loading it.
    virtual void ShowHeaderOnly(const PathString& path) = 0;
    virtual void CloseWindow() = 0;
    // Rebuilds the recent-file items of the File menu; false when an item could not be added.
    virtual bool RefillRecentMenu() = 0;

    // --- search box and pane font
    // Refills the search box's list from the search history; false when it failed.
    virtual bool RefillSearchList() = 0;
    virtual void SelectFirstSearchItem() = 0;
    // Gives the panes a font of `tenths` tenths of a point, keeping the top message in view;
    // false (nothing changed) when the font cannot be made.
    virtual bool SetPaneFont(int tenths) = 0;
    // Runs an aggregation window modally over the window (`start` for a related call); its end
    // code.
    virtual int ShowAggregation(AggregationKind kind, std::u16string_view text,
                                const RelatedCallStart* start) = 0;

    // --- tools
    // Runs the header information dialog modally over the window: the summary of the loaded
    // log.
    virtual void ShowProperty() = 0;
    // Runs the log divide dialog modally over the window; its "→" offers the loaded log with
    // its start correction.
    virtual void ShowDivide() = 0;
    // Runs the version dialog modally over the window.
    virtual void ShowAbout() = 0;
    // Runs the option dialog modally over the window: its result flags after OK, nothing when
    // it was cancelled or could not open.
    virtual std::optional<int> ShowOptions() = 0;
    // Every option back to its default except the date format and the RR flag; the search and
    // the highlight rules are compiled again.
    virtual void ResetOptions() = 0;
    // The block titles of the settings into the panes' title row, without converting again;
    // false when they do not fit there (the previous titles stay).
    virtual bool RedisplayTitles() = 0;
    // Runs the start date/time correction modally for `line` (nullptr: no line); its end code.
    virtual int ShowDiffTime(const MessageRecord* line) = 0;
};

// The wait cursor for the life of a scope.
class WaitCursor {
public:
    explicit WaitCursor(PaneCommandContext& context) : m_context(context) {
        m_context.SetWaitCursor(true);
    }
    ~WaitCursor() { m_context.SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    PaneCommandContext& m_context;
};

}  // namespace tessary
