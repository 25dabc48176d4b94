#include "mainwnd/QtMainMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "mainwnd/ViewItems.h"
#include "platform/FormatText.h"
#include "platform/QtText.h"
#include "resources/MenuTables.h"
#include "resources/MenuText.h"
#include "resources/ResourceIds.h"
#include "settings/SettingsRecord.h"

namespace tessary {

QtMainMenus::~QtMainMenus() {
    delete m_context;
}

bool QtMainMenus::BuildBar(QMenuBar* bar) {
    return BuildMenuBar(
        bar, res::kMenuMain, m_onCommand,
        [this](QMenu* popup) { ApplyCommandStates(popup, m_commands); }, m_actions);
}

QtMainMenus::Failure QtMainMenus::BuildItems(const std::vector<std::u16string>& recentFiles) {
    if (!RefillRecent(recentFiles)) {
        return Failure::kRecent;
    }
    // The samples go before the placeholder item, whose text becomes the last one; likewise the
    // font sizes 9.0 (32844) to 19.5 before the placeholder 20.0 (32822).
    std::vector<std::pair<int, QString>> samples;
    QString lastSample;
    for (const res::SearchSample& sample : res::SearchSamples()) {
        if (sample.id == res::kCmdSampleFirst) {
            lastSample = ToQString(sample.text);
        } else {
            samples.emplace_back(sample.id, ToQString(sample.text));
        }
    }
    if (!FillPlaceholder(m_actions, res::kCmdSampleFirst, samples, lastSample, m_onCommand)) {
        return Failure::kSamples;
    }
    std::vector<std::pair<int, QString>> sizes;
    for (int tenths = kPaneFontPointMin; tenths < kPaneFontPointMax; tenths += kPaneFontPointStep) {
        sizes.emplace_back(res::kCmdFontSizeTop - static_cast<int>(sizes.size()),
                           ToQString(res::FontSizeText(tenths)));
    }
    if (res::kCmdFontSizeTop - static_cast<int>(sizes.size()) != res::kCmdFontSizeFirst ||
        !FillPlaceholder(m_actions, res::kCmdFontSizeFirst, sizes,
                         ToQString(res::FontSizeText(kPaneFontPointMax)), m_onCommand)) {
        return Failure::kFontSizes;
    }
    m_context = BuildPopupMenu(res::kMenuContext, 0, m_onCommand);
    return m_context != nullptr ? Failure::kNone : Failure::kContext;
}

bool QtMainMenus::RefillRecent(const std::vector<std::u16string>& recentFiles) {
    const auto anchor = m_actions.find(res::kCmdClearRecent);
    QMenu* menu =
        anchor != m_actions.end() ? qobject_cast<QMenu*>(anchor->second->parent()) : nullptr;
    if (menu == nullptr) {
        return false;
    }
    for (int id = res::kCmdRecentFirst; id <= res::kCmdRecentLast; ++id) {
        if (const auto found = m_actions.find(id); found != m_actions.end()) {
            menu->removeAction(found->second);
            delete found->second;
            m_actions.erase(found);
        }
    }
    int id = res::kCmdRecentFirst;
    for (const std::u16string& path : recentFiles) {
        if (path.empty() || id > res::kCmdRecentLast) {
            continue;
        }
        const std::u16string text =
            RecentItemText(static_cast<size_t>(id - res::kCmdRecentFirst), path);
        m_actions.emplace(id,
                          InsertMenuItem(menu, anchor->second, id, ToQString(text), m_onCommand));
        ++id;
    }
    return true;
}

QAction* QtMainMenus::Action(int id) const {
    const auto found = m_actions.find(id);
    return found != m_actions.end() ? found->second : nullptr;
}

void QtMainMenus::PrepareContext(const QString& word, const std::u16string& lapdDetail) {
    // The word item of the previous opening goes, with the separator after it.
    RemoveMenuItem(m_context, res::kCmdCopyWord, true);
    if (!word.isEmpty()) {
        QAction* first = m_context->actions().isEmpty() ? nullptr : m_context->actions().front();
        const std::u16string_view format = res::MenuItemText(res::kMenuContext, res::kCmdCopyWord);
        InsertMenuItem(m_context, first, res::kCmdCopyWord,
                       ToQString(FormatText(format, FromQString(word))), m_onCommand);
        auto* separator = new QAction(m_context);
        separator->setSeparator(true);
        m_context->insertAction(first, separator);
    }
    ApplyCommandStates(m_context, m_commands);
    // The reload item's update also renews the LAPD detail line at the end of the menu.
    RemoveMenuItem(m_context, res::kCmdLapdDetail, false);
    if (!lapdDetail.empty()) {
        m_context->addSeparator();
        QAction* item = m_context->addAction(ToQString(lapdDetail));
        item->setData(res::kCmdLapdDetail);
    }
}

std::u16string QtMainMenus::ItemText(int id) const {
    const QAction* item = m_context != nullptr ? FindMenuItem(m_context, id) : nullptr;
    if (item == nullptr) {
        item = Action(id);
    }
    return item != nullptr ? FromQString(item->text()) : std::u16string();
}

}  // namespace tessary
