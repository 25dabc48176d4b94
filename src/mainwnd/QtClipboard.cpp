#include "mainwnd/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <new>

#include "platform/LastError.h"
#include "platform/QtText.h"
#include "platform/WinError.h"

namespace tessary {

int QtClipboard::SetText(std::u16string_view text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        SetLastError(kErrorInvalidHandle);
        return 1;
    }
    try {
        clipboard->setText(ToQString(text));
    } catch (const std::bad_alloc&) {
        SetLastError(kErrorNotEnoughMemory);
        return -1;
    }
    return 0;
}

}  // namespace tessary
