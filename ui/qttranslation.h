// Qt's own texts (the file dialogs, the message boxes' standard buttons) in Japanese, as the
// rest of the program is, whatever the user's locale.
#pragma once

// Loads Qt's Japanese translation from Qt's translations folder into the application. False
// when it is not installed (the package qt6-translations-l10n): Qt's texts stay in English.
bool loadQtJapanese();
