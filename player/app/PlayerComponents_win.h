#pragma once
#include <memory>
#include <string>

#include "ComPtr_win.h"
#include "DIvezoZaz.h"
#include "LockMode.h"
#include "MainPlaces_win.h"

// The player's long-lived components on its main window, made in the start-up order (which also
// forms the process-wide state) and freed in the reverse order. `executablePath` names the
// program whose folder the player uses; empty for this program's own.
std::unique_ptr<MainComponents> MakePlayerComponents(MainPlaces& places, MainView& view,
                                                     PlayerState& state,
                                                     const std::string& executablePath = {});

// The page object of the player's components (BridgeDispatch), as a page of the site panel gets
// it; empty for components that are not the player's or before its step of the start-up.
ComPtr<IDispatch> BridgeDispatchOf(MainComponents& components);

class HistoryBinder;
// The play history of the player's components; null for components that are not the player's or
// before its step of the start-up.
HistoryBinder* HistoryStoreOf(MainComponents& components);
// Hands the unlock dialog, made after the main window, to the lock mode of the player's
// components; null takes it back. Nothing for components that are not the player's.
void SetUnlockDialog(MainComponents& components, UnlockDialog* dialog);
