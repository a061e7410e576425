#include "DataExchange.h"

#include "DialogWindow.h"
#include "IntegerText.h"
#include "ResourceIds.h"
#include "StringTable.h"

namespace {

// The text with "%1" and "%2" replaced by the two numbers, as the string
// table's messages are written.
std::string FormatTwoNumbers(std::string_view text, int first, int second)
{
    std::string formatted;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool placeholder = text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2');
        if (!placeholder) {
            formatted += text[i];
            continue;
        }
        formatted += std::to_string(text[i + 1] == '1' ? first : second);
        ++i;
    }
    return formatted;
}

} // namespace

void CDataExchange::Text(int controlId, std::string& field)
{
    m_entries.push_back({controlId, [controlId, &field](IDialogWindow& window) { window.SetControlText(controlId, field); },
        [controlId, &field](const IDialogWindow& window) -> std::optional<std::string> {
            field = window.ControlText(controlId);
            return std::nullopt;
        }});
}

void CDataExchange::Integer(int controlId, int& field)
{
    m_entries.push_back({controlId,
        [controlId, &field](IDialogWindow& window) { window.SetControlText(controlId, std::to_string(field)); },
        [controlId, &field](const IDialogWindow& window) -> std::optional<std::string> {
            const auto value = ParseIntegerText(window.ControlText(controlId));
            if (!value)
                return std::string(LoadResString(IDS_ENTER_INTEGER));
            field = *value;
            return std::nullopt;
        }});
}

void CDataExchange::Check(int controlId, const int& field, std::function<bool(int)> isValid, std::string message)
{
    m_entries.push_back({controlId, [](IDialogWindow&) {},
        [&field, isValid = std::move(isValid), message = std::move(message)](
            const IDialogWindow&) -> std::optional<std::string> {
            if (isValid(field))
                return std::nullopt;
            return message;
        }});
}

void CDataExchange::Range(int controlId, const int& field, int minimum, int maximum)
{
    std::string message = FormatTwoNumbers(LoadResString(IDS_ENTER_INTEGER_RANGE), minimum, maximum);
    Check(controlId, field, [minimum, maximum](int value) { return value >= minimum && value <= maximum; },
        std::move(message));
}

void CDataExchange::ToControls(IDialogWindow& window) const
{
    for (const CEntry& entry : m_entries)
        entry.toControl(window);
}

std::optional<CDataExchange::CFailure> CDataExchange::FromControls(const IDialogWindow& window) const
{
    for (const CEntry& entry : m_entries)
        if (auto message = entry.fromControl(window))
            return CFailure{entry.controlId, std::move(*message)};
    return std::nullopt;
}
