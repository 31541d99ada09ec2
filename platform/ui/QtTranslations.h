#pragma once

namespace platform {

// Loads Qt's own Simplified Chinese translations, so that the toolkit's
// standard texts (the edits' context menus, the dialog buttons) speak the
// language of the program's windows. Call once after the application
// object exists. Returns false when the translations are not installed;
// the toolkit then keeps its English texts.
bool installQtTranslations();

} // namespace platform
