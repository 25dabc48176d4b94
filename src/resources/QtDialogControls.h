#pragma once
// The controls of a dialog template and the five-pane status bar, built the same way for the
// main window and the aggregation window.
#include <QFont>
#include <QRect>
#include <QSize>
#include <functional>
#include <map>
#include <span>

#include "resources/DialogTables.h"
#include "resources/WindowTexts.h"

class QComboBox;
class QDialog;
class QKeyEvent;
class QLabel;
class QStatusBar;
class QWidget;

namespace tessary {

struct TemplateControls {
    std::map<int, QWidget*> byId;  // every control with an id, as its QWidget
    QComboBox* search = nullptr;   // the drop-down combo box, if the template has one
    QLabel* legend = nullptr;      // static 1130, if the template has it
};

// Dialog units of a font: x in quarters of its average character width, y in eighths of its
// line height, as the templates give positions and sizes.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    QSize Size(int cx, int cy) const { return QSize(cx * m_baseX / 4, cy * m_baseY / 8); }
    QRect Rect(const res::DialogControl& control) const {
        return QRect(control.x * m_baseX / 4, control.y * m_baseY / 8, control.cx * m_baseX / 4,
                     control.cy * m_baseY / 8);
    }

private:
    int m_baseX;
    int m_baseY;
};

// Puts a control made for a template at `rect` and files it under its id (a control without
// an id is only placed).
void PlaceControl(QWidget* widget, const QRect& rect, int id, std::map<int, QWidget*>& byId);

// A dialog window as the template frames it: its caption, a title bar with only the close
// button, modal. Returns the template's font for the caller to adjust and set.
QFont ApplyTemplateFrame(QDialog* window, const res::DialogTemplate& dialog);

// Creates the controls of `dialog` in `client` at their dialog-unit rectangles (measured with
// `dialogFont`); edits and the combo box use `fixedFont`. Buttons do not take Enter as a
// default. `client` gets the template's size as its minimum and present size.
TemplateControls CreateTemplateControls(QWidget* client, const res::DialogTemplate& dialog,
                                        const QFont& dialogFont, const QFont& fixedFont);

// The status bar 1100 with the five panes (pixel width = character width x (characters + 1);
// a width of 0 stretches) and their tooltips.
QStatusBar* CreateStatusPanes(QWidget* parent, const QFont& font, int charWidth,
                              QLabel* (&panes)[res::kStatusPaneCount]);

// The tooltips of controls taken from menu items (the rule of the menu texts); false when a
// control or a menu item is missing.
bool SetMenuTooltips(const std::map<int, QWidget*>& controls,
                     std::span<const res::MenuTooltip> tooltips);

// The dialog keys of a window with the selection group: Esc does nothing (the window stays);
// Enter runs the go-to command of the focused number edit, or clicks the focused button. True
// when the key was one of them.
bool HandleDialogKey(QKeyEvent* event, QWidget* focus, const std::map<int, QWidget*>& controls,
                     const std::function<void(int command)>& execute);

// For dialogs that close only through their buttons and the close box: Enter and Esc are taken
// and do nothing. True when the key was one of them.
bool SwallowDialogKeys(QKeyEvent* event);

// A status pane's text (empty for a pane outside 0-4 or not made); a pane is written only when
// its text changes.
QString StatusPaneText(QLabel* const (&panes)[res::kStatusPaneCount], int pane);
void SetStatusPaneText(QLabel* const (&panes)[res::kStatusPaneCount], int pane,
                       std::u16string_view text);

// A tooltip that stays as long as a tooltip may.
void SetControlTip(QWidget* control, const QString& text);

}  // namespace tessary
