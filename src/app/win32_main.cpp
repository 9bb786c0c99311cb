#include <windows.h>

#include "app/win32_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    pravelo::app::Win32App pravelo;
    return pravelo.run();
}
