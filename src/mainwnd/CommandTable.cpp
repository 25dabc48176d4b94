#include "mainwnd/CommandTable.h"

namespace tessary {

void CommandTable::Add(int id, Entry entry) {
    m_entries[id] = std::move(entry);
}

void CommandTable::ForEach(const std::function<void(int id)>& body) const {
    for (const auto& [id, entry] : m_entries) {
        body(id);
    }
}

const CommandTable::Entry* CommandTable::Find(int id) const {
    const auto found = m_entries.find(id);
    return found != m_entries.end() ? &found->second : nullptr;
}

bool CommandTable::Has(int id) const {
    return Find(id) != nullptr;
}

bool CommandTable::IsEnabled(int id) const {
    const Entry* entry = Find(id);
    if (entry == nullptr || !entry->action) {
        return false;
    }
    return !entry->enabled || entry->enabled();
}

bool CommandTable::IsChecked(int id) const {
    const Entry* entry = Find(id);
    return entry != nullptr && entry->checked && entry->checked();
}

bool CommandTable::IsCheckable(int id) const {
    const Entry* entry = Find(id);
    return entry != nullptr && entry->checked;
}

std::optional<std::u16string> CommandTable::Text(int id) const {
    const Entry* entry = Find(id);
    if (entry == nullptr || !entry->text) {
        return std::nullopt;
    }
    return entry->text();
}

bool CommandTable::Execute(int id) const {
    if (!IsEnabled(id)) {
        return false;
    }
    // The action may register commands again (and so replace its own entry): run a copy.
    const Action action = Find(id)->action;
    action();
    return true;
}

}  // namespace tessary
