// The DLL's process-attach notification: nothing to set up, the module's
// state is constructed with the DLL's static objects.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
