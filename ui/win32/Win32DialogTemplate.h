#pragma once

#include <string_view>
#include <vector>

#include <windows.h>

struct CDialogTemplate;
enum class EControlKind;

// The dialog's template as Windows reads it (DLGTEMPLATEEX and its items),
// in the given face at the template's point size; DWORD-aligned in memory.
class CWin32DialogTemplate
{
public:
    CWin32DialogTemplate(const CDialogTemplate& dialogTemplate, std::wstring_view face, bool applicationWindow);

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Word(WORD value) { m_words.push_back(value); }
    void DoubleWord(DWORD value);
    void Text(std::wstring_view text);
    // A resource or a predefined window class by its number.
    void Ordinal(WORD value);
    // The window class of a control of the kind.
    void Class(EControlKind kind);
    void AlignToDoubleWord();

    std::vector<WORD> m_words;
};
