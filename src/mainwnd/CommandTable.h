#pragma once
// The commands of a window by id: whether each is enabled and checked, the text its menu item
// shows, and what it does. Menus, accelerators, buttons and the context menu all ask the table,
// so a command's state is stated once, by the command group that registers it.
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace tessary {

class CommandTable {
public:
    using Predicate = std::function<bool()>;
    // The item text for the present state; nullopt keeps the item's own text.
    using TextFn = std::function<std::optional<std::u16string>()>;
    using Action = std::function<void()>;

    struct Entry {
        Action action{};
        Predicate enabled{};  // empty: always enabled
        Predicate checked{};  // empty: never checked
        TextFn text{};        // empty: the item keeps its text
    };

    void Add(int id, Entry entry);
    // Runs `body` with each registered id (ascending).
    void ForEach(const std::function<void(int id)>& body) const;

    bool Has(int id) const;
    // Registered, with an action, and its predicate (if any) answers true.
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;
    // Whether the command has a check state at all.
    bool IsCheckable(int id) const;
    std::optional<std::u16string> Text(int id) const;
    // Runs the command when it is enabled; false when it did not run.
    bool Execute(int id) const;

private:
    const Entry* Find(int id) const;

    std::map<int, Entry> m_entries;
};

}  // namespace tessary
