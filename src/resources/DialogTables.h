#pragma once
// Dialog templates as data: caption, font, size and every control with its id, kind, text and
// rectangle in dialog units (x from a quarter, y from an eighth of the font's character box).
#include <span>
#include <string_view>

namespace tessary::res {

enum class ControlKind {
    kGroupBox,
    kButton,
    kDefaultButton,
    kCheckBox,
    kEdit,
    kReadOnlyEdit,
    kComboBox,  // drop-down with an edit field
    kStatic,
    kProgressBar,
    kIcon,  // the program's icon
    kRadioButton,
    kListBox,
    kTabControl,
};

struct DialogControl {
    int id;  // -1 for a control without id (group boxes)
    ControlKind kind;
    std::u16string_view text;
    int x, y, cx, cy;
};

struct DialogTemplate {
    int id;
    std::u16string_view caption;
    std::u16string_view fontFace;
    int pointSize;
    int cx, cy;
    std::span<const DialogControl> controls;
};

// Template 100 (version), 131 (main window), 132 (aggregation window), 133 (header
// information), 134 (start date/time correction), 135 (log divide), 140-143 (option dialog and
// its pages) or 150 (progress); nullptr for any other id.
const DialogTemplate* FindDialogTemplate(int templateId);
// The control `id` of a template, or nullptr.
const DialogControl* FindDialogControl(const DialogTemplate& dialog, int id);

// A button of the main window and the command it runs.
struct ButtonCommand {
    int control;
    int command;
};
std::span<const ButtonCommand> MainButtonCommands();

// A control whose tooltip is the tooltip text of a menu item.
struct MenuTooltip {
    int control;
    int menu;
    int command;
};
std::span<const MenuTooltip> MainMenuTooltips();

// The main window's group titles (controls without id).
inline constexpr std::u16string_view kSelectionGroupTitle = u"現在の選択行";
inline constexpr std::u16string_view kSearchGroupTitle =
    u"検索文字列 (半角英字大小区別なし、非単語別)";

}  // namespace tessary::res
