#pragma once

namespace pravelo::platform::qt {

// Makes the toolkit's own texts (context menus, standard buttons) Danish, as
// the rest of the program is, whatever the user's locale. Needs the
// application object; false when the system has no Danish toolkit texts.
bool useDanishToolkitTexts();

}  // namespace pravelo::platform::qt
