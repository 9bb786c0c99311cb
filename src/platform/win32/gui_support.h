#pragma once

#include <windows.h>

#include <string>

#include "platform/support/window_layout.h"

namespace pravelo::platform::win32 {

// Layouts are drawn in twips, 1440 to the inch: 15 to a pixel at 96 dpi.
int systemDpi();
inline int scaled(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

// The classic 8.25-point dialog font, made once per weight and dpi.
HFONT dialogFont(bool bold = false);

std::string windowText(HWND window);
void setWindowText(HWND window, const std::string& utf8);

// A child control at a place given in twips, in the dialog font.
HWND createControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style,
                   int id, int left, int top, int width, int height, DWORD exStyle = 0);
// The same for a control the layout describes, with its caption; a height
// other than 0 replaces the described one.
HWND createFrom(HWND parent, const wchar_t* windowClass, const layout::Control& control,
                DWORD style, int id, DWORD exStyle = 0, int height = 0);

// The product name, the title of every message the window raises itself.
std::string applicationTitle();

// The program's 32 x 32 icon from its resources.
HICON programIcon();

// Registers a top-level window class of ours, with the program's icon, once.
void registerWindowClass(const wchar_t* name, int backgroundColour);

}  // namespace pravelo::platform::win32
