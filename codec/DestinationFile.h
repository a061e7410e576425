#pragma once

#include <cstdio>
#include <string>

// The file a conversion writes into.
//
// A regular file, or a name that does not exist yet, is written under a
// temporary name in the same folder and takes the destination's place only
// in Commit, once everything is written and closed: a failed or interrupted
// conversion leaves an existing destination byte for byte as it was. Where
// the system offers unnamed files, the new content has no name at all until
// then, so not even a killed process leaves anything behind.
//
// Standard output under any name, devices, FIFOs, files with more than one
// hard link and files in folders where no temporary file can be made are
// written in place: replacing them would cut the links or is impossible.
class CDestinationFile
{
public:
    CDestinationFile() = default;
    ~CDestinationFile();   // discards whatever Commit has not put in place
    CDestinationFile(const CDestinationFile&) = delete;
    CDestinationFile& operator=(const CDestinationFile&) = delete;

    bool Open(const std::string& path);

    // Unbuffered: the writer batches its own writes.
    std::FILE* Stream() const { return m_pFile; }

    // Closes the stream and puts the new content in place, keeping an
    // existing destination's permission bits and, where allowed, its owner.
    bool Commit();

    // Closes the stream and removes the new content, if it was not written in place.
    void Discard();

    int ErrorNumber() const { return m_nError; }

private:
    enum class Kind {
        StandardOutput,   // the caller's stream: flushed, never closed
        InPlace,          // opened by its own name, truncated
        Named,            // a temporary file beside the destination
        Unnamed,          // a file without a name in the destination's folder
    };

    bool OpenInPlace();
    bool OpenTemporary();
    bool NameTemporary();
    bool Fail(int errorNumber);

    std::FILE* m_pFile = nullptr;
    Kind m_kind = Kind::InPlace;
    std::string m_strTarget;      // the destination, with symbolic links followed
    std::string m_strTemporary;   // the temporary name, while there is one
    int m_nError = 0;
};
