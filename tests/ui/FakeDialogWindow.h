#pragma once

#include "Dialog.h"
#include "DialogTemplate.h"
#include "DialogWindow.h"
#include "ProgressJob.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CFakeDialogWindow;

// What every fake window shares: the platform's boxes, choosers and browser,
// recorded, and the scripted user who answers the dialogs run modally.
struct CFakeDesktop
{
    struct CMessage
    {
        const CDialog* owner;
        std::string text;
        std::string details;
    };
    // One job run with progress, as the user saw it.
    struct CProgressRun
    {
        std::string sourcePath;
        int chunks = 0;
        std::optional<int> windowShownAtChunk;  // nothing: finished before the window was due
    };
    // Acts on a dialog opened modally, as a user would; must end it.
    using CUser = std::function<void(CFakeDialogWindow& window)>;

    std::vector<CMessage> messages;
    std::vector<EFileChoice> fileRequests;
    std::deque<std::optional<std::string>> fileAnswers;  // nothing: the chooser was cancelled
    std::vector<std::string> openedAddresses;
    std::map<int, std::string> textResources;
    std::deque<CUser> users;  // one per modal run, in order
    int modalRuns = 0;
    // The time each chunk of a job takes, and the chunk at which the user
    // cancels the job once its progress window shows.
    std::chrono::milliseconds timePerChunk{0};
    std::optional<int> cancelAtChunk;
    std::vector<CProgressRun> progressRuns;

    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> texts;
        for (const CMessage& message : messages)
            texts.push_back(message.text);
        return texts;
    }
};

// A dialog's window without any toolkit: its controls are texts kept by id,
// and the test plays the user by typing and pressing.
class CFakeDialogWindow : public IDialogWindow
{
public:
    CFakeDialogWindow(CDialog& dialog, CFakeDesktop& desktop)
        : m_dialog(dialog)
        , m_desktop(desktop)
    {
        for (const CControlTemplate& control : dialog.Template().controls)
            if (control.id != -1)
                m_controls.emplace(control.id, CControl{std::string(control.text), control.kind});
    }

    void Open() { m_dialog.InitDialog(*this); }
    void Type(int id, std::string text) { Find(id).text = std::move(text); }
    void Press(int id) { m_dialog.OnCommand(id); }

    CDialog& Dialog() const { return m_dialog; }
    const std::string& Text(int id) { return Find(id).text; }
    bool IsEnabled(int id) const { return !disabled.contains(id); }

    std::set<int> disabled;
    int focused = 0;
    bool focusedTextSelected = false;
    std::string caption;
    int icon = 0;
    std::set<int> fixedWidthFonts;
    std::vector<std::string> aboutEntries;
    std::optional<EDialogResult> result;
    std::map<int, std::string> accessibleNames;

    std::string ControlText(int id) const override { return Find(id).text; }
    void SetControlText(int id, std::string_view text) override { Find(id).text = text; }
    void EnableControl(int id, bool enabled) override
    {
        Find(id);
        if (enabled)
            disabled.erase(id);
        else
            disabled.insert(id);
    }
    void FocusControl(int id) override
    {
        focused = id;
        focusedTextSelected = Find(id).kind == EControlKind::Edit;
    }
    void SetCaption(std::string_view text) override { caption = text; }
    void SetIcon(int iconId) override { icon = iconId; }
    void SetFixedWidthFont(int id) override
    {
        Find(id);
        fixedWidthFonts.insert(id);
    }
    void AddAboutEntry(std::string_view text) override { aboutEntries.emplace_back(text); }
    void End(EDialogResult dialogResult) override
    {
        EXPECT_FALSE(result) << "ended twice";
        result = dialogResult;
    }
    void SetAccessibleName(int id, std::string_view name) override
    {
        Find(id);
        accessibleNames[id] = name;
    }
    void ShowMessage(std::string_view text, std::string_view details) override
    {
        m_desktop.messages.push_back({&m_dialog, std::string(text), std::string(details)});
    }
    // Runs the job at once, on the simulated clock of the desktop.
    void RunWithProgress(CProgressJob& job) override
    {
        CFakeDesktop::CProgressRun run{job.SourcePath(), 0, std::nullopt};
        job.Run([&] {
            ++run.chunks;
            if (!run.windowShownAtChunk && job.ProgressWindowDue(run.chunks * m_desktop.timePerChunk))
                run.windowShownAtChunk = run.chunks;
            if (run.windowShownAtChunk && m_desktop.cancelAtChunk && run.chunks >= *m_desktop.cancelAtChunk)
                job.Cancel();
        });
        m_desktop.progressRuns.push_back(run);
    }
    std::optional<std::string> ChooseFile(EFileChoice choice) override
    {
        m_desktop.fileRequests.push_back(choice);
        if (m_desktop.fileAnswers.empty())
            return std::nullopt;
        auto answer = m_desktop.fileAnswers.front();
        m_desktop.fileAnswers.pop_front();
        return answer;
    }
    EDialogResult RunModal(CDialog& dialog) override
    {
        ++m_desktop.modalRuns;
        CFakeDialogWindow window(dialog, m_desktop);
        window.Open();
        if (m_desktop.users.empty()) {
            ADD_FAILURE() << "a dialog opened that nobody answers";
            return EDialogResult::Cancel;
        }
        const CFakeDesktop::CUser user = std::move(m_desktop.users.front());
        m_desktop.users.pop_front();
        user(window);
        if (!window.result) {
            ADD_FAILURE() << "the modal dialog was left open";
            return EDialogResult::Cancel;
        }
        return *window.result;
    }
    void OpenAddress(std::string_view address) override { m_desktop.openedAddresses.emplace_back(address); }
    std::optional<std::string> LoadTextResource(int id) const override
    {
        const auto found = m_desktop.textResources.find(id);
        if (found == m_desktop.textResources.end())
            return std::nullopt;
        return found->second;
    }
    // Marks what the platform was asked to put in the user's language.
    std::string LocalSystemText(int errorNumber) const override
    {
        return std::string("<").append(std::strerror(errorNumber)).append(">");
    }

private:
    struct CControl
    {
        std::string text;
        EControlKind kind;
    };

    // A control the template does not have fails the test.
    const CControl& Find(int id) const
    {
        const auto found = m_controls.find(id);
        if (found != m_controls.end())
            return found->second;
        ADD_FAILURE() << "no control " << id;
        m_missing = {};
        return m_missing;
    }
    CControl& Find(int id) { return const_cast<CControl&>(std::as_const(*this).Find(id)); }

    CDialog& m_dialog;
    CFakeDesktop& m_desktop;
    std::map<int, CControl> m_controls;
    mutable CControl m_missing;
};
