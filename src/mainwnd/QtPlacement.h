#pragma once
// The stored placement of the main and the aggregation window.
#include "settings/SettingsRecord.h"

class QWidget;

namespace tessary {

// Restoring a stored window placement: nothing stored, restored, or not restored because the
// rectangle lies on no screen.
enum class PlacementRestore { kNothingStored, kRestored, kOffScreen };
PlacementRestore RestoreWindowPlacement(QWidget* window, const WindowPlacement& placement);
// The show state and the normal rectangle of `window`.
void StoreWindowPlacement(const QWidget* window, WindowPlacement& placement);

}  // namespace tessary
