#include "CPreprocessor.h"

#include "CPreprocessorLimits.h"

#include <array>

namespace {

// Names whose value comes from the build or the path, not from the file.
constexpr std::array<std::string_view, 8> kBuildNames = {"__FILE__", "__DATE__", "__TIME__", "__COUNTER__",
    "__BASE_FILE__", "__FILE_NAME__", "__TIMESTAMP__", "__INCLUDE_LEVEL__"};

// Directives that change nothing the compiler stores from this file alone;
// a number names a line marker ("# 12 \"file\"").
bool IsPassedOver(std::string_view name)
{
    for (const std::string_view passed : {"", "pragma", "line", "ident", "sccs", "warning"})
        if (name == passed)
            return true;
    return name.front() >= '0' && name.front() <= '9';
}

// Pragmas that lay a structure out otherwise than the platform does.
bool ChangesLayout(std::string_view pragma)
{
    return pragma == "pack" || pragma == "scalar_storage_order" || pragma == "ms_struct";
}

constexpr std::size_t kMaxConditionText = 80;

} // namespace

CPreprocessor::CPreprocessor(
    CTokenSink& out, CRefusal& refusal, const CAbi& abi, const std::vector<CMacroOption>& macros)
    : m_out(out)
    , m_refusal(refusal)
    , m_abi(abi)
    , m_expander(m_macros, refusal)
{
    m_macros.AddBuiltin("__LINE__", CMacroDefinition::Builtin::Line);
    for (const std::string_view name : kBuildNames)
        m_macros.AddBuiltin(std::string(name), CMacroDefinition::Builtin::FromBuild);
    for (const auto& [name, value] : abi.PredefinedMacros())
        DefineBefore(Concat("#define ", name, " ", value), Concat("the predefined ", name));
    for (const CMacroOption& option : macros) {
        if (option.undefine)
            DefineBefore("#undef " + option.name, "-U " + option.name);
        else
            DefineBefore("#define " + option.name + " " + option.value, "-D " + option.name);
    }
    m_context.clear();
}

CPreprocessor::~CPreprocessor() = default;

// A definition as if it stood before the file's first line.
void CPreprocessor::DefineBefore(std::string_view text, std::string context)
{
    m_context = std::move(context);
    if (text.find('\n') != std::string_view::npos)
        return Refuse(0, "a line end in a macro's definition");
    CSourceLexer lexer(*this);
    lexer.Feed(std::span(reinterpret_cast<const unsigned char*>(text.data()), text.size()));
    lexer.Finish();
}

void CPreprocessor::Refuse(long line, const std::string& reason)
{
    if (m_context.empty())
        m_refusal.Refuse(line, reason);
    else
        m_refusal.Refuse(0, m_context + ": " + reason);
}

bool CPreprocessor::Stopped() const
{
    return m_refusal.Failed();
}

void CPreprocessor::OnToken(const CToken& token)
{
    if (Stopped())
        return;
    m_expander.CountRead(1);
    if (m_bInDirective)
        return CollectDirectiveToken(token);
    if (m_conditions.Guarding())
        m_conditions.ResolveGuard(false);
    if (!m_conditions.Taking())
        return NoteUnknownText(token);
    const bool name = token.kind == CTokenKind::Identifier && !token.truncated;
    if (!m_held.empty() || (name && m_macros.Find(token.text) != nullptr))
        return HoldToken(KeepToken(token));
    if (name && m_macros.IsUncertain(token.text)) {
        CToken uncertain = token;
        uncertain.uncertain = true;
        return m_out.OnToken(uncertain);
    }
    m_out.OnToken(token);
}

void CPreprocessor::OnStringByte(unsigned char byte)
{
    if (Stopped())
        return;
    if (m_bInDirective) {
        if (m_bDirectiveString && CountDirectiveCost(1))
            m_directiveTokens.back().decoded += static_cast<char>(byte);
    } else if (m_bHeldString) {
        if (CountHeldCost(1))
            m_held.back().decoded += static_cast<char>(byte);
    } else if (m_conditions.Taking()) {
        m_out.OnStringByte(byte);
    }
}

void CPreprocessor::OnStringEnd(std::string_view badEscape)
{
    if (Stopped())
        return;
    if (m_bInDirective && m_bDirectiveString) {
        m_bDirectiveString = false;
        m_directiveTokens.back().badEscape = badEscape;
        m_directiveTokens.back().undecodable = !badEscape.empty();
    } else if (m_bHeldString) {
        m_bHeldString = false;
        m_held.back().badEscape = badEscape;
        m_held.back().undecodable = !badEscape.empty();
        AfterHeldToken();
    } else if (!m_bInDirective && m_conditions.Taking()) {
        m_out.OnStringEnd(badEscape);
    }
}

CPlainNumberLimit CPreprocessor::PlainNumberLimit() const
{
    // Numbers are never macros: they go by whenever nothing is held back.
    if (Stopped() || m_bInDirective || !m_held.empty() || !m_conditions.Taking())
        return {0, 0};
    return m_out.PlainNumberLimit();
}

void CPreprocessor::OnPlainNumbers(const std::uint32_t* values, std::size_t count, long line)
{
    m_expander.CountRead(count);
    m_out.OnPlainNumbers(values, count, line);
}

void CPreprocessor::Finish()
{
    if (Stopped())
        return;
    if (!m_held.empty())
        ExpandHeld(true);
    if (!m_conditions.Empty())
        Refuse(m_conditions.Innermost().line, "this #if is never closed");
}

bool CPreprocessor::CountHeldCost(std::size_t cost)
{
    m_nHeldCost += cost;
    if (m_nHeldCost <= pp_limits::kMaxArgumentsCost)
        return true;
    Refuse(m_held.front().line,
        Concat("the call of '", m_held.front().text, "' passes ", std::to_string(pp_limits::kMaxArgumentsCost >> 20),
            " MiB"));
    return false;
}

bool CPreprocessor::CountDirectiveCost(std::size_t cost)
{
    m_nDirectiveCost += cost;
    if (m_nDirectiveCost <= pp_limits::kMaxDirectiveCost)
        return true;
    Refuse(m_nDirectiveLine,
        Concat("the #", m_directive, " line passes ", std::to_string(pp_limits::kMaxDirectiveCost >> 20), " MiB"));
    return false;
}

void CPreprocessor::HoldToken(CPpToken token)
{
    if (!m_held.empty() && !CountHeldCost(CostOf(token)))
        return;
    if (m_held.empty())
        m_nHeldCost = CostOf(token);
    m_bHeldString = token.kind == CTokenKind::String;
    m_held.push_back(std::move(token));
    if (!m_bHeldString)
        AfterHeldToken();
}

// A macro's name is held until its call is whole: expanded once an
// object-like one comes, a call's ')' closes, or a token not '(' follows.
void CPreprocessor::AfterHeldToken()
{
    const CPpToken& last = m_held.back();
    if (m_held.size() == 1) {
        const CMacroDefinition* macro = m_macros.Find(last.text);
        if (!macro->functionLike)
            ExpandHeld(false);
        return;
    }
    if (m_held.size() == 2 && !IsPunctuator(last, "("))
        return ExpandHeld(false);
    m_nHeldDepth += ParenthesisStep(last);
    if (m_nHeldDepth == 0)
        ExpandHeld(false);
}

void CPreprocessor::ExpandHeld(bool atEnd)
{
    std::vector<CPpToken> held = std::move(m_held);
    m_held = m_expander.Expand(std::move(held), atEnd, [this](CPpToken&& token) { SendToken(m_out, token); });
    m_nHeldDepth = 0;
    m_nHeldCost = 0;
    for (const CPpToken& token : m_held) {
        m_nHeldDepth += ParenthesisStep(token);
        m_nHeldCost += CostOf(token);
    }
}

// Text under an unknown condition: a '[' may have been an array's, and a
// name before ';', ',', '=' or '}' a typedef's or an enum constant's.
void CPreprocessor::NoteUnknownText(const CToken& token)
{
    if (!m_conditions.InUnknown())
        return;
    const bool punctuator = token.kind == CTokenKind::Punctuator;
    m_bUnknownBracket = m_bUnknownBracket || (punctuator && token.text == "[");
    if (punctuator && token.text.size() == 1 && std::string_view(";,=}").find(token.text[0]) != std::string_view::npos
        && !m_lastName.empty())
        if (const std::string refusal = m_macros.MakeUncertain(m_lastName); !refusal.empty())
            return Refuse(token.line, refusal);
    if (token.kind == CTokenKind::Identifier && !token.truncated)
        m_lastName = token.text;
    else
        m_lastName.clear();
}

void CPreprocessor::OnDirective(std::string_view name, long line)
{
    if (Stopped())
        return;
    if (!m_held.empty())
        return Refuse(line, "a directive inside the call of '" + m_held.front().text + "' is not read");
    m_bInDirective = true;
    m_directive = name;
    m_nDirectiveLine = line;
    m_directiveTokens.clear();
    m_nDirectiveCost = 0;
    m_bDirectiveString = false;
}

void CPreprocessor::CollectDirectiveToken(const CToken& token)
{
    // Under a condition not taken only the first token can matter (an
    // uncertain definition's name), but for an #elif, which may be taken.
    const bool elif = m_directive.starts_with("elif");
    if (!m_conditions.Taking() && !m_conditions.Guarding() && !elif && !m_directiveTokens.empty())
        return;
    m_directiveTokens.push_back(KeepToken(token));
    if (!CountDirectiveCost(CostOf(m_directiveTokens.back())))
        return;
    m_bDirectiveString = token.kind == CTokenKind::String;
}

void CPreprocessor::OnDirectiveEnd(long /*line*/)
{
    if (Stopped() || !m_bInDirective)
        return;
    m_bInDirective = false;
    m_bDirectiveString = false;
    if (m_conditions.Guarding())
        m_conditions.ResolveGuard(m_directive == "define" && !m_directiveTokens.empty()
            && !m_directiveTokens[0].truncated && m_directiveTokens[0].text == m_conditions.Innermost().guard);
    m_lastName.clear();
    if (RunConditional())
        return;
    if (m_conditions.Taking())
        RunTakenDirective();
    else
        NoteUnknownDirective();
}

bool CPreprocessor::RunConditional()
{
    const std::string& name = m_directive;
    std::string refusal;
    if (name == "if" || name == "ifdef" || name == "ifndef") {
        OpenIf();
    } else if (name == "elif" || name == "elifdef" || name == "elifndef") {
        const bool wasUnknown = m_conditions.InUnknown();
        refusal = m_conditions.Elif(m_nDirectiveLine, ConditionText(), [this] { return EvaluateDirective(); });
        if (!wasUnknown && m_conditions.InUnknown())
            m_bUnknownBracket = false;
    } else if (name == "else") {
        refusal = m_conditions.Else();
    } else if (name == "endif") {
        CloseGroup();
    } else {
        return false;
    }
    if (!refusal.empty())
        Refuse(m_nDirectiveLine, refusal);
    return true;
}

void CPreprocessor::OpenIf()
{
    if (!m_conditions.Taking()) {
        if (const std::string refusal = m_conditions.OpenSkipped(m_nDirectiveLine); !refusal.empty())
            Refuse(m_nDirectiveLine, refusal);
        return;
    }
    const CCondition condition = EvaluateDirective();
    if (Stopped())
        return;
    if (const std::string refusal = m_conditions.Open(condition, m_nDirectiveLine, ConditionText()); !refusal.empty())
        return Refuse(m_nDirectiveLine, refusal);
    if (condition != CCondition::Unknown)
        return;
    m_bUnknownBracket = false;
    // "#ifndef X" (or "#if !defined X") then "#define X": an include guard,
    // whatever X was.
    if (const CPpToken* guard = GuardName())
        m_conditions.MarkGuard(guard->text);
}

// X of "#ifndef X", "#if !defined X" or "#if !defined(X)", or none.
const CPpToken* CPreprocessor::GuardName() const
{
    const std::vector<CPpToken>& tokens = m_directiveTokens;
    if (m_directive == "ifndef")
        return tokens.empty() ? nullptr : &tokens[0];
    if (m_directive != "if" || tokens.size() < 3 || tokens[0].text != "!" || tokens[1].text != "defined")
        return nullptr;
    const bool parenthesised = tokens.size() == 5 && tokens[2].text == "(" && tokens[4].text == ")";
    if (!parenthesised && tokens.size() != 3)
        return nullptr;
    const CPpToken& name = tokens[parenthesised ? 3 : 2];
    return name.kind == CTokenKind::Identifier ? &name : nullptr;
}

CCondition CPreprocessor::EvaluateDirective()
{
    const bool ifdef = m_directive == "ifdef" || m_directive == "elifdef";
    if (!ifdef && m_directive != "ifndef" && m_directive != "elifndef")
        return EvaluateIf(m_directiveTokens, m_macros, m_abi, m_expander, m_refusal, m_nDirectiveLine);
    const CPpToken* name = DirectiveName(m_directive.c_str());
    if (name == nullptr)
        return CCondition::False;
    const CNameState state = NameState(m_macros, m_abi, *name);
    if (state == CNameState::Unknown)
        return CCondition::Unknown;
    return (state == CNameState::Defined) == ifdef ? CCondition::True : CCondition::False;
}

void CPreprocessor::CloseGroup()
{
    CConditionStack::CGroup closed;
    if (const std::string refusal = m_conditions.Close(closed); !refusal.empty())
        return Refuse(m_nDirectiveLine, refusal);
    if (closed.state == CConditionStack::CState::Unknown)
        m_out.OnUncertainText(closed.condition, closed.line, m_bUnknownBracket);
}

void CPreprocessor::RunTakenDirective()
{
    const std::string& name = m_directive;
    if (name == "define")
        RunDefine();
    else if (name == "undef")
        RunUndef();
    else if (name == "pragma" && !m_directiveTokens.empty() && ChangesLayout(m_directiveTokens[0].text))
        m_out.OnLayoutPragma(ConditionText(), m_nDirectiveLine);
    else if (IsPassedOver(name))
        return;
    else if (name == "include" || name == "include_next" || name == "import")
        // Text the reader cannot see: harmless outside the initialiser.
        m_out.OnUncertainText(ConditionText(), m_nDirectiveLine, false);
    else if (name == "error")
        Refuse(m_nDirectiveLine, "the file stops at '#error'");
    else if (name == "embed")
        Refuse(m_nDirectiveLine, "'#embed' is not read");
    else
        Refuse(m_nDirectiveLine, "'#" + name + "' is no directive the reader knows");
}

const CPpToken* CPreprocessor::DirectiveName(const char* directive)
{
    if (m_directiveTokens.empty() || m_directiveTokens[0].kind != CTokenKind::Identifier) {
        Refuse(m_nDirectiveLine, Concat("#", directive, " without a macro name"));
        return nullptr;
    }
    const CPpToken& name = m_directiveTokens[0];
    if (name.truncated) {
        Refuse(m_nDirectiveLine,
            "a macro name longer than " + std::to_string(CSourceLexer::kMaxTokenText) + " bytes is not read");
        return nullptr;
    }
    if (name.text == "defined" || name.text == "__VA_ARGS__" || name.text == "__VA_OPT__") {
        Refuse(m_nDirectiveLine, Concat("'", name.text, "' cannot be a macro name"));
        return nullptr;
    }
    return &name;
}

void CPreprocessor::RunDefine()
{
    const CPpToken* name = DirectiveName("define");
    if (name == nullptr)
        return;
    CMacroDefinition macro;
    std::string refusal
        = ParseDefinition(std::vector<CPpToken>(m_directiveTokens.begin() + 1, m_directiveTokens.end()), macro);
    if (refusal.empty())
        refusal = m_macros.Define(name->text, std::move(macro));
    if (!refusal.empty())
        Refuse(m_nDirectiveLine, refusal);
}

void CPreprocessor::RunUndef()
{
    if (const CPpToken* name = DirectiveName("undef"))
        if (const std::string refusal = m_macros.Undefine(name->text); !refusal.empty())
            Refuse(m_nDirectiveLine, refusal);
}

// Under an unknown condition a name defined or undefined has no known
// meaning afterwards.
void CPreprocessor::NoteUnknownDirective()
{
    if (!m_conditions.InUnknown() || (m_directive != "define" && m_directive != "undef") || m_directiveTokens.empty()
        || m_directiveTokens[0].kind != CTokenKind::Identifier || m_directiveTokens[0].truncated)
        return;
    if (const std::string refusal = m_macros.MakeUncertain(m_directiveTokens[0].text); !refusal.empty())
        Refuse(m_nDirectiveLine, refusal);
}

std::string CPreprocessor::ConditionText() const
{
    std::string text = "'#" + m_directive;
    for (const CPpToken& token : m_directiveTokens) {
        if (text.size() > kMaxConditionText)
            break;
        text += token.spaceBefore || text.size() == m_directive.size() + 2 ? " " : "";
        text += token.kind == CTokenKind::String ? Concat("\"", token.decoded.substr(0, kMaxConditionText), "\"")
                                                 : token.text;
    }
    if (text.size() > kMaxConditionText)
        return text.substr(0, kMaxConditionText) + " ...'";
    return text + "'";
}
