#pragma once

#include "DialogWindow.h"

#include <QString>

#include <optional>

class QWidget;

// The platform's own windows and the browser, as the Qt dialogs use them.
// The program uses the real Qt services; tests answer these calls
// themselves, so no modal window of the platform ever waits for a user.
class IPlatformServices
{
public:
    virtual ~IPlatformServices() = default;

    // A message box: warning icon, one OK button, the application name as
    // caption, modal to the owner (the active dialog), the details (when
    // any) behind its details button. Returns when closed.
    virtual void ShowMessage(QWidget* owner, const QString& text, const QString& details) = 0;

    // The full path of the chosen file, or nothing when cancelled.
    virtual std::optional<QString> ChooseFile(QWidget* owner, EFileChoice choice) = 0;

    // Hands a web address to the user's browser without waiting for it.
    virtual void OpenUrl(const QString& address) = 0;
};
