// The one error type of the 7z reader. Its kind tells the archive library
// which error code to report; its text names what went wrong.
#pragma once

#include <stdexcept>
#include <string>

namespace qv::sevenzip {

enum class ArchiveErrorKind {
    NotArchive,         // no 7z signature
    Damaged,            // impossible structure, truncated data, header CRC mismatch
    DataError,          // a file's data does not match its CRC or cannot be decoded
    UnsupportedMethod,  // a coder this reader does not have
    Unsupported,        // a format feature this reader does not handle
    ResourceLimit,      // decoding would need more memory than allowed
    UnsafePath,         // an entry would be written outside the target folder
    Cancelled,          // the caller asked to stop
    WriteFailed,        // the extraction target could not be written
    NotFound,           // a requested entry is not in the archive
    WrongPassword,      // encrypted data that the password given does not decrypt
    PasswordRequired,   // encrypted data and no password was given
    LibraryMissing,     // a codec library is missing or of another version
    Internal,           // a failure of the reader itself (reported across a library boundary)
};

class ArchiveError : public std::runtime_error {
public:
    ArchiveError(ArchiveErrorKind kind, const std::string& text) : std::runtime_error(text), kind_(kind) {}
    ArchiveErrorKind kind() const { return kind_; }

private:
    ArchiveErrorKind kind_;
};

// Damage found in decoded data; in encrypted data it is what a wrong
// password looks like.
inline bool IsDamage(const ArchiveError& e) {
    return e.kind() == ArchiveErrorKind::Damaged || e.kind() == ArchiveErrorKind::DataError;
}

// "Wrong password, or the encrypted <what> is damaged".
[[noreturn]] void ThrowWrongPassword(const std::string& what);

[[noreturn]] inline void ThrowDamaged(const std::string& what) {
    throw ArchiveError(ArchiveErrorKind::Damaged, "The archive is damaged: " + what);
}

}  // namespace qv::sevenzip
