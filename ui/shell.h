// The program's frame: what start-up sets for the rest of the program, and the one way out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

extern HINSTANCE AppInstance;     // the program's own module, which holds the dialog templates
extern std::int32_t ScreenWidth;  // primary screen in pixels, read once at start-up
extern std::int32_t ScreenHeight;

// The cell and button pictures, in the order in which start-up loads them.
enum Picture {
    kCoveredUpPicture,
    kCoveredDownPicture,
    kPressedUpPicture,
    kPressedDownPicture,
    kUncoveredUpPicture,
    kUncoveredDownPicture,
    kMinePicture,
    kFlagPicture,
    kNewGameButtonPicture,
    kPictureCount
};
extern HICON Pictures[kPictureCount];  // loaded once, kept for the whole run

constexpr int kStartFailureExitCode = 1;
constexpr int kDataFileProblemExitCode = 2;

constexpr UINT_PTR kClockTimerId = 1;
constexpr UINT kClockTimerPeriod = 1000;  // milliseconds

// Loads the pictures at their own 32 x 32 size, whatever the screen's DPI, and prepares them for drawing.
// False when the system cannot make them.
bool LoadPictures(HINSTANCE instance);
// Releases the pictures and what was prepared from them, at the end.
void ReleasePictures();

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
