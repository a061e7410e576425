#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class IDialogWindow;

// A dialog's bound fields, each tied to its control by id, in the order they
// are exchanged. Declared once per dialog; the same list writes every field
// into its control and reads every control back, validating as it goes.
class CDataExchange
{
public:
    // The first entry that refused its control's text.
    struct CFailure
    {
        int controlId;
        std::string message;
    };

    void Text(int controlId, std::string& field);
    void Integer(int controlId, int& field);
    // A check of a field read by an earlier entry; silent when only displaying.
    void Check(int controlId, const int& field, std::function<bool(int)> isValid, std::string message);
    void Range(int controlId, const int& field, int minimum, int maximum);

    void ToControls(IDialogWindow& window) const;
    // Stops at the first failure; the fields after it keep their values.
    std::optional<CFailure> FromControls(const IDialogWindow& window) const;

private:
    struct CEntry
    {
        int controlId;
        std::function<void(IDialogWindow&)> toControl;
        // The message on failure.
        std::function<std::optional<std::string>(const IDialogWindow&)> fromControl;
    };

    std::vector<CEntry> m_entries;
};
