#pragma once

#include "fileio/FilePlatform.h"

#include <cstddef>
#include <string>

// The file a conversion writes into.
//
// A regular file, or a name that does not exist yet, is written as a new file
// in the same folder that takes the destination's place only in Commit, once
// everything is written, on the device, and carries the old file's owner,
// permissions, access control lists and extended attributes: a failed or
// interrupted conversion leaves an existing destination byte for byte as it
// was, and so does a crash after Commit returned.
//
// A file the process inherited open (standard output or error, a descriptor
// given by the caller) is written through that open file, after whatever
// the caller wrote into it; named by its own name, it then ends there, unless
// it is open for appending. Devices, mount points, FIFOs, files with more than one hard link
// and files that cannot be replaced without losing access or links are
// written in place.
class CDestinationFile
{
public:
    CDestinationFile() = default;
    ~CDestinationFile();   // discards whatever Commit has not put in place
    CDestinationFile(const CDestinationFile&) = delete;
    CDestinationFile& operator=(const CDestinationFile&) = delete;

    bool Open(const std::string& path);

    // Unbuffered: the writer batches its own writes. Returns 0 or the error number.
    int Write(const void* data, std::size_t size) const { return FilePlatform::Write(m_file, data, size); }

    // Puts the new content in place; false, with the old destination kept, on any error.
    bool Commit();

    // Closes the file and removes the new content, if it was not written in place.
    void Discard();

    bool IsOpen() const { return m_file != FilePlatform::kNoFile; }
    int ErrorNumber() const { return m_nError; }

    // Whether Commit failed because another file took the destination's name meanwhile.
    bool Moved() const { return m_replacement.Moved(); }

private:
    enum class Kind {
        Inherited,     // the caller's open file: never closed
        InPlace,       // opened by its own name, truncated
        Replacement,   // a new file that takes the destination's place
    };

    bool OpenInPlace(const std::string& target);
    bool Fail(int errorNumber);

    FilePlatform::NativeFile m_file = FilePlatform::kNoFile;
    Kind m_kind = Kind::InPlace;
    bool m_bEndsHere = false;   // an inherited file named by its own name: cut after the new content
    FilePlatform::CReplacement m_replacement;
    int m_nError = 0;
};
