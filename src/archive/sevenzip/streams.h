// The two stream shapes of the reader: the archive file, read at offsets, and
// the sequential streams that coders pull from each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv::sevenzip {

// The archive file (or a copy of it in memory).
class RandomAccessSource {
public:
    virtual ~RandomAccessSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads up to size bytes at offset; fewer only where the source ends.
    virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t size) = 0;
};

// A decoded or packed byte stream. Read returns 0 only at the end; a stream
// whose data is damaged throws instead of ending early.
class InStream {
public:
    virtual ~InStream() = default;
    virtual std::size_t Read(std::uint8_t* dst, std::size_t size) = 0;
};

class MemorySource : public RandomAccessSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t size) override;

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace qv::sevenzip
