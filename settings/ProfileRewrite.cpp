#include "ProfileRewrite.h"

#include "ProfileLineReader.h"
#include "ProfileSyntax.h"

#include <string>

namespace {

constexpr std::size_t kWriteBuffer = 64 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kDefaultLineEnd = "\n";

// Gathers the output into large writes.
class CBufferedSink
{
public:
    explicit CBufferedSink(const ProfileSink& out)
        : m_out(out)
    {
    }

    void Put(std::string_view text)
    {
        m_pending.append(text);
        if (m_pending.size() >= kWriteBuffer)
            Flush();
    }

    bool Flush()
    {
        if (m_bOk && !m_pending.empty())
            m_bOk = m_out(m_pending);
        m_pending.clear();
        return m_bOk;
    }

private:
    const ProfileSink& m_out;
    std::string m_pending;
    bool m_bOk = true;
};

enum class EPlace { BeforeSection, InSection, Done };

} // namespace

bool RewriteProfileKey(std::istream& in, const ProfileSink& out, std::string_view section, std::string_view key,
    std::string_view value)
{
    CBufferedSink sink(out);
    CProfileLineReader reader(in);
    const std::string entry = std::string(key) + "=" + std::string(value);
    std::string_view style = kDefaultLineEnd;
    bool styleKnown = false;
    // Blank lines at the end of the section so far: a new entry goes before them.
    std::string heldBlanks;
    EPlace place = EPlace::BeforeSection;

    std::string text;
    std::string_view ending;
    bool firstLine = true;
    for (; reader.Next(text, ending); firstLine = false) {
        if (firstLine && reader.HadByteOrderMark())
            sink.Put(kByteOrderMark);
        if (!styleKnown && !ending.empty()) {
            style = ending;
            styleKnown = true;
        }
        const std::string_view end = ending.empty() ? style : ending;
        const auto name = SectionName(text);
        if (place == EPlace::InSection) {
            if (KeyValue(text, key) && !name) {
                sink.Put(heldBlanks);
                sink.Put(entry);
                sink.Put(end);
                place = EPlace::Done;
                continue;
            }
            if (!name && IsBlankLine(text)) {
                heldBlanks.append(text).append(end);
                continue;
            }
            if (name) {
                sink.Put(entry);
                sink.Put(style);
                place = EPlace::Done;
            }
            sink.Put(heldBlanks);
            heldBlanks.clear();
        } else if (place == EPlace::BeforeSection && name && SameName(*name, section)) {
            place = EPlace::InSection;
        }
        sink.Put(text);
        sink.Put(end);
    }
    if (place == EPlace::BeforeSection) {
        if (firstLine && reader.HadByteOrderMark())
            sink.Put(kByteOrderMark);
        sink.Put("[");
        sink.Put(section);
        sink.Put("]");
        sink.Put(style);
    }
    if (place != EPlace::Done) {
        sink.Put(entry);
        sink.Put(style);
        sink.Put(heldBlanks);
    }
    const bool written = sink.Flush();
    return written && !reader.Failed();
}
