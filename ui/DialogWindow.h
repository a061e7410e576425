#pragma once

#include <optional>
#include <string>
#include <string_view>

class CDialog;
class CProgressJob;

enum class EDialogResult { OK, Cancel };

// Which of the two open-file choosers to show.
enum class EFileChoice {
    ExistingSource,  // the file must exist
    Destination,     // a new name is accepted once the user agrees to create it
};

// A dialog's window, built by the toolkit from the dialog's template: all the
// dialogs' logic asks of a toolkit. Controls are named by their ids; texts
// are UTF-8. The toolkit in turn tells the dialog what the user did (see
// CDialog).
class IDialogWindow
{
public:
    virtual ~IDialogWindow() = default;

    virtual std::string ControlText(int id) const = 0;
    virtual void SetControlText(int id, std::string_view text) = 0;
    virtual void EnableControl(int id, bool enabled) = 0;
    // Gives the control the keyboard focus and selects an edit box's whole text.
    virtual void FocusControl(int id) = 0;
    virtual void SetCaption(std::string_view caption) = 0;
    // The window's large and small icon, from the program's icon resource.
    virtual void SetIcon(int iconId) = 0;
    // The fixed-width Korean face for a text box whose lines are set in columns.
    virtual void SetFixedWidthFont(int id) = 0;
    // An entry of the window's menu (the system menu where the platform has
    // one) that sends the dialog the command IDM_ABOUTBOX.
    virtual void AddAboutEntry(std::string_view text) = 0;
    // Ends the modal run.
    virtual void End(EDialogResult result) = 0;

    // The name a screen reader gives the control.
    virtual void SetAccessibleName(int id, std::string_view name) = 0;

    // A message box owned by this window: warning icon, one OK button, the
    // program's name as caption, and the details (when any) shown on request.
    // Returns when closed.
    virtual void ShowMessage(std::string_view text, std::string_view details) = 0;
    // The full path of the chosen file, or nothing when cancelled.
    virtual std::optional<std::string> ChooseFile(EFileChoice choice) = 0;
    // Runs the job off the interface thread and returns when it has ended.
    // The window stays modal meanwhile; work still running once the job's
    // delay has passed shows a progress window ("변환 중") whose "취소",
    // Escape and close box cancel the job.
    virtual void RunWithProgress(CProgressJob& job) = 0;
    // Runs another dialog modally, owned by this window.
    virtual EDialogResult RunModal(CDialog& dialog) = 0;
    // Hands a web address to the user's browser without waiting for it.
    virtual void OpenAddress(std::string_view address) = 0;
    // A text resource of the program (UTF-8); nothing when it is missing.
    virtual std::optional<std::string> LoadTextResource(int id) const = 0;
    // The system's explanation of an error number (errno-style), in the
    // user's language where the platform has it so; else as the C runtime
    // words it.
    virtual std::string LocalSystemText(int errorNumber) const = 0;
};
