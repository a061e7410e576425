#pragma once

#include "PlatformServices.h"

#include <deque>
#include <vector>

// Records what the dialogs ask of the platform and answers from a script,
// so no platform window ever waits for a user.
class CFakePlatformServices : public IPlatformServices
{
public:
    void ShowMessage(QWidget* owner, const QString& text, const QString& details) override
    {
        messageOwners.push_back(owner);
        messages.push_back(text);
        messageDetails.push_back(details);
    }

    std::optional<QString> ChooseFile(QWidget* /*owner*/, EFileChoice choice) override
    {
        fileRequests.push_back(choice);
        if (fileAnswers.empty())
            return std::nullopt;
        std::optional<QString> answer;
        answer.swap(fileAnswers.front());
        fileAnswers.pop_front();
        return answer;
    }

    void OpenUrl(const QString& address) override { openedUrls.push_back(address); }

    std::vector<QString> messages;
    std::vector<QString> messageDetails;
    std::vector<QWidget*> messageOwners;
    std::vector<EFileChoice> fileRequests;
    std::deque<std::optional<QString>> fileAnswers;  // nothing: the chooser was cancelled
    std::vector<QString> openedUrls;
};
