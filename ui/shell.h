// The program's frame: what start-up sets for the rest of the program, and the one way out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

extern HINSTANCE AppInstance;     // the program's own module, which holds the dialog templates
extern std::int32_t ScreenWidth;  // primary screen in pixels, read once at start-up
extern std::int32_t ScreenHeight;
extern thread_local bool PlaysUnseen;  // this thread plays boards for figures: the hooks show nothing

constexpr int kStartFailureExitCode = 1;
constexpr int kDataFileProblemExitCode = 2;

constexpr UINT_PTR kClockTimerId = 1;
constexpr UINT kClockTimerPeriod = 1000;  // milliseconds

// The system cannot make the pictures or the window's picture: the player is told once, and the
// game ends with kStartFailureExitCode.
void ShowDrawingProblem(HWND window);

// Releases the board and closes the data file. From then on the window procedure leaves the
// game alone, since the window can outlive both until the message loop ends.
void ReleaseGame();
bool IsGameReleased();

// Releases the game and posts the quit message with exit code 0.
void Shutdown();

// Shows a data-file problem to the player; window may be null before the main window exists.
void ShowDataFileProblem(HWND window, const std::string& problem);
