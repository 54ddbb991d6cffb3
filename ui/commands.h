// Menu and accelerator commands.
#pragma once

#include <windows.h>

void HandleCommand(HWND window, WORD commandId);
