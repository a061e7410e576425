#pragma once

class QCoreApplication;

// Qt's own texts (buttons of the message boxes, the file chooser, the edit
// boxes' menu) in Korean, like the program's; false when Qt's Korean
// translation is not installed, and they stay English.
bool InstallKoreanToolkitTexts(QCoreApplication& application);

// Keeps Qt's own windows (the file chooser's history) from saving state in
// a settings file beside the program's.
void KeepToolkitStateUnsaved();

// The C runtime's explanations of errors in the user's language: LC_MESSAGES
// from the environment. The rest of the locale stays as it is.
void UseUserLanguageForSystemTexts();
