#pragma once
#include <windows.h>

// The program's low-level keyboard hook on the whole desktop, held by the user-interface thread
// that installs it: the system calls it on that thread while the thread waits for messages.
namespace hookkey {

// Installs the hook unless one is held; a refusal leaves none, and the next call tries again.
void InstallKeyHook();
// Removes the held hook; one the system refuses to remove stays held for the next call.
void RemoveKeyHook();
// A new hook in place of the held one, which the system may have dropped; none held: one.
void RenewKeyHook();
bool KeyHookInstalled();
// The hook the program holds now, null when none.
HHOOK CurrentKeyHook();

// The hook procedure: swallows the keys of the lock's rules.
LRESULT CALLBACK KeyHookProc(int code, WPARAM wp, LPARAM lp);

}  // namespace hookkey
