#pragma once
// The call list command of the main window (Search menu, Ctrl+L): opens the call list window,
// or brings it to the front when it is open already.
#include <functional>
#include <utility>

#include "mainwnd/CommandTable.h"

namespace tessary {

class CallListCommands {
public:
    explicit CallListCommands(std::function<void()> show) : m_show(std::move(show)) {}

    void Register(CommandTable& table);

private:
    std::function<void()> m_show;
};

}  // namespace tessary
