#pragma once

#include "CAbi.h"
#include "CRefusal.h"
#include "CSourceLexer.h"
#include "csource/CSourceOptions.h"

#include <vector>

// Between the lexer and the reader: runs the file's own directives as a
// compiler's preprocessor would, with nothing from outside (an #include is
// passed over), and sends on the tokens the compiler would see, macros
// expanded and untaken conditional text left out. Text under a condition
// it cannot evaluate is left out too and reported (OnUncertainText).
// Bounded: past each of its stated caps it refuses.
class CPreprocessor final : public CTokenSink
{
public:
    CPreprocessor(CTokenSink& out, CRefusal& refusal, const CAbi& abi, const std::vector<CMacroOption>& macros);
    ~CPreprocessor() override;

    void OnToken(const CToken& token) override;
    void OnStringByte(unsigned char byte) override;
    void OnStringEnd(std::string_view badEscape) override;
    void OnDirective(std::string_view name, long line) override;
    void OnDirectiveEnd(long line) override;
    CPlainNumberLimit PlainNumberLimit() const override;
    void OnPlainNumbers(const std::uint32_t* values, std::size_t count, long line) override;

    // After the lexer's Finish: sends on what is held (a macro name at the
    // end), refuses an #if never closed.
    void Finish();
};
