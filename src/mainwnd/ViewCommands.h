#pragma once
// The view commands of the main window: block order (swap B and C, ascending order, the three
// exchange items of the context menu), equal block widths, pane font sizes, date display
// formats and hiding layer-2 RR frames.
#include "mainwnd/CommandContext.h"
#include "mainwnd/CommandTable.h"

namespace tessary {

class ViewCommands {
public:
    explicit ViewCommands(MainCommandContext& context) : m_context(context) {}

    void Register(CommandTable& table);

    // The pane position that shows `block`, or -1.
    int PositionOf(int block) const;

private:
    bool Loaded() const { return m_context.Converter() != nullptr; }
    // The block shown where the context menu was opened, or -1.
    int ContextBlock() const;
    void SetFontSize(int id);
    void SetDateFormat(unsigned format);
    void ToggleHideRr();

    MainCommandContext& m_context;
};

}  // namespace tessary
