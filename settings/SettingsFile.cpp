#include "SettingsFile.h"

#include <ios>

CSettingsFile::int_type CSettingsFile::underflow()
{
    if (m_state != EState::Regular)
        return traits_type::eof();
    const long got = ReadSome();
    if (got < 0)
        throw std::ios_base::failure("cannot read the settings file");
    if (got == 0)
        return traits_type::eof();
    setg(m_buffer, m_buffer, m_buffer + got);
    return traits_type::to_int_type(m_buffer[0]);
}
