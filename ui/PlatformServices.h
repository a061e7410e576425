#pragma once

#include <QString>

#include <filesystem>
#include <optional>

class QWidget;

// Which of the two open-file choosers to show.
enum class EFileChoice {
    ExistingSource,  // the file must exist
    Destination,     // a new name is accepted once the user agrees to create it
};

// What the dialogs need from the desktop. The program uses the real Qt
// services; tests answer these calls themselves, so no modal window of the
// platform ever waits for a user.
class IPlatformServices
{
public:
    virtual ~IPlatformServices() = default;

    // A message box: warning icon, one OK button, the application name as
    // caption, modal to the owner (the active dialog). Returns when closed.
    virtual void ShowMessage(QWidget* owner, const QString& text) = 0;

    // The full path of the chosen file, or nothing when cancelled.
    virtual std::optional<QString> ChooseFile(QWidget* owner, EFileChoice choice) = 0;

    // Hands a web address to the user's browser without waiting for it.
    virtual void OpenUrl(const QString& address) = 0;

    // The settings file the unit dialog reads and writes.
    virtual std::filesystem::path SettingsFilePath() const = 0;
};
