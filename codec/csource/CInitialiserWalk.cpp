#include "CInitialiserWalk.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr std::uint32_t kIntMax = std::numeric_limits<std::int32_t>::max();

// The largest non-negative int literal that an element stores as its own
// low bytes, with nothing to convert or refuse.
std::uint32_t LargestKept(const CScalarType& scalar, const CElementRule& rule)
{
    if (rule.fitOneByte)
        return 0xFF;
    if (rule.width > 0)
        return kIntMax;
    if (scalar.kind == CScalarType::Kind::Bool)
        return 1;
    if (scalar.kind != CScalarType::Kind::Integer)
        return 0;
    if (scalar.width >= 4)
        return kIntMax;
    const int bits = 8 * scalar.width - (scalar.isSigned ? 1 : 0);
    return (std::uint32_t{1} << bits) - 1;
}

CConstant CharConstant(unsigned char byte, const CScalarType& element)
{
    CConstant value;
    value.integer.width = 1;
    value.integer.isSigned = element.isSigned;
    value.integer.bits = element.isSigned
        ? static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<signed char>(byte)))
        : byte;
    return value;
}

} // namespace

void CInitialiserWalk::Begin(CTypePtr object, CElementRule rule, std::uint64_t zeroLimit)
{
    m_object = std::move(object);
    m_rule = rule;
    m_nZeroLimit = zeroLimit;
}

bool CInitialiserWalk::Exhausted(const CFrame& frame) const
{
    const CObjectType& type = *frame.type;
    switch (type.kind) {
    case CObjectType::Kind::Array:
        if (type.unbounded)
            return type.element->size != 0 && frame.index >= kMaxObjectSize / type.element->size;
        return frame.index >= type.count;
    case CObjectType::Kind::Struct: return frame.index >= type.members.size();
    case CObjectType::Kind::Scalar: break;
    }
    return frame.index >= 1;
}

CInitialiserWalk::CSlot CInitialiserWalk::SlotAt(const CFrame& frame) const
{
    const CObjectType& type = *frame.type;
    switch (type.kind) {
    case CObjectType::Kind::Array: return {type.element.get(), frame.base + frame.index * type.element->size};
    case CObjectType::Kind::Struct: {
        const CMember& member = type.members[frame.index];
        return {member.type.get(), frame.base + member.offset};
    }
    case CObjectType::Kind::Scalar: break;
    }
    return {frame.type, frame.base};
}

CInitialiserWalk::CFrame* CInitialiserWalk::OpenFrame(long line)
{
    while (!m_frames.empty() && Exhausted(m_frames.back())) {
        if (m_frames.back().braced) {
            m_refusal.Refuse(line, "more elements than the array holds");
            return nullptr;
        }
        CloseFrame(m_frames.back(), line);
        m_frames.pop_back();
    }
    if (m_frames.empty()) {
        m_refusal.Refuse(line, "more elements than the array holds");
        return nullptr;
    }
    return &m_frames.back();
}

// The rest of a closed aggregate is zeros; an unbounded array ends after
// its last element.
void CInitialiserWalk::CloseFrame(const CFrame& frame, long line)
{
    const CObjectType& type = *frame.type;
    const std::uint64_t end
        = type.IsArray() && type.unbounded ? frame.base + frame.index * type.element->size : frame.base + type.size;
    PadTo(end, line);
}

bool CInitialiserWalk::Open(long line)
{
    if (!m_bStarted) {
        m_bStarted = true;
        m_frames.push_back({m_object.get(), 0, 0, true});
        return true;
    }
    CFrame* frame = OpenFrame(line);
    if (!frame)
        return false;
    const CSlot slot = SlotAt(*frame);
    ++frame->index;
    if (m_frames.size() > 2 * CObjectType::kMaxDepth) {
        m_refusal.Refuse(line, "'{' goes deeper than the array's type");
        return false;
    }
    m_frames.push_back({slot.type, slot.offset, 0, true});
    return true;
}

bool CInitialiserWalk::Close(long line)
{
    while (!m_frames.empty() && !m_frames.back().braced) {
        CloseFrame(m_frames.back(), line);
        m_frames.pop_back();
    }
    if (m_frames.empty()) {
        m_refusal.Refuse(line, "'}' closes no '{'");
        return false;
    }
    CloseFrame(m_frames.back(), line);
    m_frames.pop_back();
    return !m_refusal.Failed();
}

bool CInitialiserWalk::Designate(std::span<const CDesignatorStep> steps, long line, const std::string& quoted)
{
    while (!m_frames.empty() && !m_frames.back().braced)
        m_frames.pop_back();
    for (std::size_t k = 0; k < steps.size(); ++k) {
        CFrame& frame = m_frames.back();
        const CObjectType& type = *frame.type;
        const CDesignatorStep& step = steps[k];
        if (step.member != (type.kind == CObjectType::Kind::Struct) || type.IsScalar()) {
            m_refusal.Refuse(line, quoted + (step.member ? " names a member of no structure" : " indexes no array"));
            return false;
        }
        if (step.member) {
            // Designators that the walk can follow go forward: look there
            // first, so that a structure's members are searched once.
            const auto named = [&](const CMember& member) { return member.name == step.name; };
            const auto from = type.members.begin()
                + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(frame.index, type.members.size()));
            auto found = std::find_if(from, type.members.end(), named);
            if (found == type.members.end()) {
                const auto before = std::find_if(type.members.begin(), from, named);
                found = before == from ? type.members.end() : before;
            }
            if (found == type.members.end()) {
                m_refusal.Refuse(line, quoted + " names no member of the structure");
                return false;
            }
            frame.index = static_cast<std::uint64_t>(found - type.members.begin());
        } else {
            CFrame probe = frame;
            probe.index = step.index;
            if (Exhausted(probe)) {
                m_refusal.Refuse(line, quoted + " is past the end of the array");
                return false;
            }
            frame.index = step.index;
        }
        if (SlotAt(frame).offset < m_nWritten) {
            m_refusal.Refuse(line, quoted + " goes back to an element already written");
            return false;
        }
        if (k + 1 < steps.size()) {
            const CSlot slot = SlotAt(frame);
            ++frame.index;
            m_frames.push_back({slot.type, slot.offset, 0, false});
        }
    }
    return true;
}

bool CInitialiserWalk::Value(const CConstant& value, long line, const std::string& quoted)
{
    for (;;) {
        CFrame* frame = OpenFrame(line);
        if (!frame)
            return false;
        const CSlot slot = SlotAt(*frame);
        ++frame->index;
        if (slot.type->IsScalar())
            return WriteScalar(slot.type->scalar, slot.offset, value, line, quoted);
        m_frames.push_back({slot.type, slot.offset, 0, false});
    }
}

bool CInitialiserWalk::WriteScalar(
    const CScalarType& type, std::uint64_t offset, const CConstant& value, long line, const std::string& quoted)
{
    CElementBytes bytes;
    if (m_rule.fitOneByte) {
        const CIntegerValue& integer = value.integer;
        const bool fits = value.kind == CConstant::Kind::Integer
            && (integer.isSigned ? integer.Signed() >= -128 && integer.Signed() <= 255 : integer.bits <= 255);
        if (!fits)
            bytes.refusal = "does not fit in one byte: name the width with c1 to c9";
        bytes.bytes[0] = static_cast<unsigned char>(integer.bits);
        bytes.count = 1;
    } else {
        bytes = m_rule.width > 0 ? StoreAsWidth(value, m_rule.width) : StoreAs(value, type);
    }
    if (!bytes.refusal.empty()) {
        m_refusal.Refuse(line, quoted + " " + bytes.refusal);
        return false;
    }
    return Emit(offset, bytes.bytes.data(), static_cast<std::size_t>(bytes.count), line);
}

bool CInitialiserWalk::BeginString(long line)
{
    for (;;) {
        CFrame* frame = OpenFrame(line);
        if (!frame)
            return false;
        // "char a[] = {"ab"}": the braces' own array takes the string.
        const bool whole = frame->braced && frame->index == 0 && frame->type->IsByteArray();
        const CSlot slot = whole ? CSlot{frame->type, frame->base} : SlotAt(*frame);
        if (slot.type->IsByteArray()) {
            if (whole)
                m_frames.pop_back();
            else
                ++frame->index;
            m_string = {slot.offset, 0, slot.type->count, !slot.type->unbounded, slot.type->element->scalar, line};
            // The closing brace of a whole array comes back for the frame popped.
            if (whole)
                m_frames.push_back({&m_scalarBrace, 0, 1, true});
            return true;
        }
        if (slot.type->IsScalar()) {
            m_refusal.Refuse(line, "a string initialises only a char array");
            return false;
        }
        ++frame->index;
        m_frames.push_back({slot.type, slot.offset, 0, false});
    }
}

bool CInitialiserWalk::StringByte(unsigned char byte)
{
    if (m_string.bounded && m_string.written >= m_string.capacity) {
        m_refusal.Refuse(m_string.line, "the string is longer than its array");
        return false;
    }
    const std::uint64_t offset = m_string.base + m_string.written * static_cast<std::uint64_t>(m_string.element.width);
    ++m_string.written;
    // A char stores its own byte: no conversion to make.
    if (m_rule.width == 0 && m_string.element.width == 1)
        return Emit(offset, &byte, 1, m_string.line);
    return WriteScalar(m_string.element, offset, CharConstant(byte, m_string.element), m_string.line, "the string");
}

// C adds the terminating zero where the array has room for it.
bool CInitialiserWalk::EndString()
{
    const auto width = static_cast<std::uint64_t>(m_string.element.width);
    if (m_string.bounded)
        return PadTo(m_string.base + m_string.capacity * width, m_string.line);
    ++m_string.written;
    return PadTo(m_string.base + m_string.written * width, m_string.line);
}

CPlainNumberLimit CInitialiserWalk::PlainLimit() const
{
    if (m_frames.empty() || m_refusal.Failed())
        return {0, 0};
    const CFrame& frame = m_frames.back();
    if (!frame.type->IsScalarArray() || Exhausted(frame))
        return {0, 0};
    const std::uint32_t most = LargestKept(frame.type->element->scalar, m_rule);
    if (most == 0)
        return {0, 0};
    const std::uint64_t left
        = frame.type->unbounded ? std::numeric_limits<std::uint64_t>::max() : frame.type->count - frame.index;
    return {most, left};
}

// Each value as WriteScalar would give it: within the limit no conversion
// changes it, and a non-negative value has zeros past its four bytes.
void CInitialiserWalk::PlainNumbers(const std::uint32_t* values, std::size_t count)
{
    constexpr std::size_t kPerPut = 512;
    std::array<unsigned char, kPerPut * 9> bytes;
    CFrame& frame = m_frames.back();
    const auto width = static_cast<std::size_t>(frame.type->element->size);
    if (!PadTo(frame.base + frame.index * width, 0))
        return;
    frame.index += count;
    while (count > 0) {
        const std::size_t part = std::min(count, kPerPut);
        if (width == 1) {
            for (std::size_t k = 0; k < part; ++k)
                bytes[k] = static_cast<unsigned char>(values[k]);
        } else {
            std::fill_n(bytes.begin(), part * width, 0);
            for (std::size_t k = 0; k < part; ++k)
                for (std::size_t b = 0; b < std::min<std::size_t>(width, 4); ++b)
                    bytes[k * width + b] = static_cast<unsigned char>(values[k] >> (8 * b));
        }
        m_out.PutBytes(bytes.data(), part * width);
        m_nWritten += part * width;
        values += part;
        count -= part;
    }
}

bool CInitialiserWalk::Emit(std::uint64_t offset, const unsigned char* bytes, std::size_t count, long line)
{
    if (offset < m_nWritten) {
        m_refusal.Refuse(line, "an element goes back to one already written");
        return false;
    }
    if (!PadTo(offset, line))
        return false;
    m_out.PutBytes(bytes, count);
    m_nWritten += count;
    return true;
}

bool CInitialiserWalk::PadTo(std::uint64_t offset, long line)
{
    if (m_refusal.Failed())
        return false;
    if (offset <= m_nWritten)
        return !m_refusal.Failed();
    if (offset - m_nWritten > m_nZeroLimit - std::min(m_nZeroLimit, m_nZeros)) {
        m_refusal.Refuse(line,
            "the array needs more than " + std::to_string(m_nZeroLimit)
                + " zero bytes, 1 GiB more than its source's size: the reader does not write them");
        return false;
    }
    static const std::array<unsigned char, 4096> kZeros{};
    m_nZeros += offset - m_nWritten;
    while (m_nWritten < offset) {
        const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(offset - m_nWritten, kZeros.size()));
        m_out.PutBytes(kZeros.data(), part);
        m_nWritten += part;
    }
    return true;
}
