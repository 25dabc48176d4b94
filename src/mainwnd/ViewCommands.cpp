#include "mainwnd/ViewCommands.h"

#include "mainwnd/CommandTexts.h"
#include "mainwnd/ViewItems.h"
#include "resources/ResourceIds.h"

namespace tessary {
namespace {

constexpr int kBlockB = 1;
constexpr int kBlockC = 2;

}  // namespace

void ViewCommands::Register(CommandTable& table) {
    const auto loaded = [this] { return Loaded(); };
    table.Add(res::kCmdSwapBc, {.action =
                                    [this] {
                                        const int b = PositionOf(kBlockB);
                                        const int c = PositionOf(kBlockC);
                                        if (b >= 0 && c >= 0) {
                                            m_context.SwapPanes(b, c);
                                        }
                                    },
                                .enabled = loaded});
    table.Add(res::kCmdAscendingOrder, {.action = [this] { m_context.SwapPanes(-1, -1); },
                                        .enabled =
                                            [this] {
                                                int blocks[kBlockCount];
                                                for (int p = 0; p < kBlockCount; ++p) {
                                                    blocks[p] = m_context.PaneBlock(p);
                                                }
                                                return Loaded() && !IsAscendingOrder(blocks);
                                            }});
    for (int k = 0; k <= res::kCmdExchangeLast - res::kCmdExchangeFirst; ++k) {
        const auto item = [this, k] { return ExchangeItemOf(k, ContextBlock(), Loaded()); };
        table.Add(res::kCmdExchangeFirst + k,
                  {.action =
                       [this, item] {
                           const int here = m_context.ContextPane();
                           const int there = PositionOf(item().otherBlock);
                           if (here >= 0 && there >= 0) {
                               m_context.SwapPanes(here, there);
                           }
                       },
                   .enabled = [item] { return item().enabled; },
                   .text = [item]() -> std::optional<std::u16string> { return item().text; }});
    }
    table.Add(res::kCmdLayoutColumns, {.action = [this] { m_context.LayoutColumns(); }});
    for (int id = res::kCmdFontSizeFirst; id <= res::kCmdFontSizeLast; ++id) {
        const auto value = [this, id] { return FontSizeItemValue(m_context.MenuItemText(id)); };
        table.Add(
            id,
            {.action = [this, id] { SetFontSize(id); },
             .enabled =
                 [value] {
                     const int tenths = value();
                     return tenths >= kPaneFontPointMin && tenths <= kPaneFontPointMax;
                 },
             .checked = [this, value] { return value() == m_context.Settings().paneFontPoint; }});
    }
    for (unsigned format = 0; format <= res::kCmdDateFormatLast - res::kCmdDateFormatFirst;
         ++format) {
        table.Add(
            res::kCmdDateFormatFirst + static_cast<int>(format),
            {.action = [this, format] { SetDateFormat(format); },
             .enabled = loaded,
             .checked = [this,
                         format] { return DateFormatOf(m_context.Settings().para) == format; }});
    }
    table.Add(
        res::kCmdHideRr,
        {.action = [this] { ToggleHideRr(); },
         .enabled = loaded,
         .checked = [this] { return (m_context.Settings().para.Flag[1] & kFlag1HideRr) != 0; }});
}

int ViewCommands::PositionOf(int block) const {
    if (block < 0) {
        return -1;
    }
    for (int p = 0; p < kBlockCount; ++p) {
        if (m_context.PaneBlock(p) == block) {
            return p;
        }
    }
    return -1;
}

int ViewCommands::ContextBlock() const {
    const int position = m_context.ContextPane();
    return position >= 0 && position < kBlockCount ? m_context.PaneBlock(position) : -1;
}

void ViewCommands::SetFontSize(int id) {
    const int tenths = FontSizeItemValue(m_context.MenuItemText(id));
    SettingsRecord& settings = m_context.Settings();
    if (tenths == settings.paneFontPoint) {
        return;
    }
    if (!m_context.SetPaneFont(tenths)) {
        m_context.Ui().Warn(kPaneFontFailed, m_context.Caption());
        return;
    }
    settings.paneFontPoint = tenths;
}

void ViewCommands::SetDateFormat(unsigned format) {
    uint8_t& flags = m_context.Settings().para.Flag[0];
    flags = static_cast<uint8_t>((flags & ~kFlag0DateFormatMask) | (format & kFlag0DateFormatMask));
    m_context.Reconvert();
}

void ViewCommands::ToggleHideRr() {
    m_context.Settings().para.Flag[1] ^= kFlag1HideRr;
    m_context.Reconvert();
}

}  // namespace tessary
