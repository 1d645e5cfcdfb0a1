#include "app/TranslucentWindows.h"

// The desktop window manager composes every window on Windows 8 and later; Qt draws a translucent frameless window
// as a layered window there.
bool TranslucencyAvailable()
{
    return true;
}
