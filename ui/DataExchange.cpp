#include "DataExchange.h"

#include "DialogWindow.h"
#include "IntegerText.h"
#include "ResourceIds.h"
#include "StringTable.h"

void CDataExchange::Text(int controlId, std::string& field)
{
    m_entries.push_back(
        {controlId, [controlId, &field](IDialogWindow& window) { window.SetControlText(controlId, field); },
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
    std::string message = FormatResString(IDS_ENTER_INTEGER_RANGE, {std::to_string(minimum), std::to_string(maximum)});
    Check(
        controlId, field, [minimum, maximum](int value) { return value >= minimum && value <= maximum; },
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
