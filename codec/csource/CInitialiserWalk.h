#pragma once

#include "CConstant.h"
#include "CObjectType.h"
#include "CRefusal.h"
#include "CSourceLexer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Where the initialiser's bytes go.
class CElementSink
{
public:
    virtual ~CElementSink() = default;
    virtual void PutBytes(const unsigned char* bytes, std::size_t count) = 0;
};

// One step of a designator: "[index]" or ".member".
struct CDesignatorStep
{
    bool member = false;
    std::string name;
    std::uint64_t index = 0;
};

// How an element's value becomes bytes.
struct CElementRule
{
    int width = 0;             // c1 to c9: each value as an integer this wide; 0: as its declared type
    bool fitOneByte = false;   // a pasted body with no width: each value must fit one byte
};

// Walks an object's layout as C fills it from an initialiser: braces,
// braces left out, designators, strings; writes each scalar's bytes at its
// offset and zeros between, in order, so that nothing is held back. It
// refuses, never guesses, where writing in order cannot give gcc's bytes:
// a designator that goes back, more elements than the object holds.
class CInitialiserWalk
{
public:
    // Past this many zeros beyond the source's own size, an object's
    // padding and untouched elements are refused rather than written.
    static constexpr std::uint64_t kMaxZeroFillOverSource = std::uint64_t{1} << 30;

    CInitialiserWalk(CElementSink& out, CRefusal& refusal)
        : m_out(out)
        , m_refusal(refusal)
    {
    }

    void Begin(CTypePtr object, CElementRule rule, std::uint64_t zeroLimit);
    bool Open(long line);
    bool Close(long line);
    bool Designate(std::span<const CDesignatorStep> steps, long line, const std::string& quoted);
    // text: the element as the source has it, quoted, for a refusal.
    bool Value(const CConstant& value, long line, const std::string& quoted);
    bool BeginString(long line);
    bool StringByte(unsigned char byte);
    bool EndString();
    // The braces still open.
    std::size_t Depth() const { return m_frames.size(); }
    bool Done() const { return m_bStarted && m_frames.empty(); }

    // Runs of plain non-negative int literals where the next elements are
    // integers back to back.
    CPlainNumberLimit PlainLimit() const;
    void PlainNumbers(const std::uint32_t* values, std::size_t count);

private:
    struct CFrame
    {
        const CObjectType* type;
        std::uint64_t base;
        std::uint64_t index;   // the next element or member
        bool braced;
    };
    struct CSlot
    {
        const CObjectType* type;
        std::uint64_t offset;
    };
    struct CStringTarget
    {
        std::uint64_t base = 0;
        std::uint64_t written = 0;
        std::uint64_t capacity = 0;
        bool bounded = false;
        CScalarType element;
        long line = 0;
    };

    bool Exhausted(const CFrame& frame) const;
    CSlot SlotAt(const CFrame& frame) const;
    // The frame whose next slot an element fills, braces left out popped;
    // nullptr (refused) when the braced frame is full.
    CFrame* OpenFrame(long line);
    void CloseFrame(const CFrame& frame, long line);
    bool WriteScalar(
        const CScalarType& type, std::uint64_t offset, const CConstant& value, long line, const std::string& quoted);
    bool Emit(std::uint64_t offset, const unsigned char* bytes, std::size_t count, long line);
    bool PadTo(std::uint64_t offset, long line);

    CElementSink& m_out;
    CRefusal& m_refusal;
    CTypePtr m_object;
    CElementRule m_rule;
    std::uint64_t m_nZeroLimit = 0;
    std::uint64_t m_nZeros = 0;
    std::vector<CFrame> m_frames;
    std::uint64_t m_nWritten = 0;
    bool m_bStarted = false;
    CStringTarget m_string;
    // An unbounded array's elements, kept alive while its frame is open.
    CObjectType m_scalarBrace;
};
