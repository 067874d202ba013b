#include "archive/sevenzip/filter_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/sevenzip/archive_error.h"

namespace qv::sevenzip {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;

class FilterStream : public InStream {
public:
    FilterStream(std::unique_ptr<InStream> input, std::uint64_t outSize, std::unique_ptr<Converter> converter)
        : input_(std::move(input)), converter_(std::move(converter)), unread_(outSize), buffer_(kBufferSize) {}

    std::size_t Read(std::uint8_t* dst, std::size_t size) override {
        while (begin_ == ready_ && !(inputEnded_ && ready_ == end_)) Fill();
        const std::size_t n = std::min(size, ready_ - begin_);
        std::memcpy(dst, buffer_.data() + begin_, n);
        begin_ += n;
        return n;
    }

private:
    // Moves the unconverted bytes to the front, reads more behind them and
    // converts what can be.
    void Fill() {
        std::uint8_t* const data = buffer_.data();
        std::memmove(data, data + ready_, end_ - ready_);
        end_ -= ready_;
        begin_ = ready_ = 0;
        const std::size_t room = static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size() - end_, unread_));
        const std::size_t got = room == 0 ? 0 : input_->Read(data + end_, room);
        if (got == 0 && unread_ != 0)
            throw ArchiveError(ArchiveErrorKind::DataError, "The packed data ends unexpectedly");
        end_ += got;
        unread_ -= got;
        inputEnded_ = unread_ == 0;
        const std::size_t converted = converter_->Convert(data, end_);
        ready_ = inputEnded_ ? end_ : converted;
    }

    std::unique_ptr<InStream> input_;
    std::unique_ptr<Converter> converter_;
    std::uint64_t unread_;  // input bytes still to come
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0, ready_ = 0, end_ = 0;
    bool inputEnded_ = false;
};

}  // namespace

std::unique_ptr<InStream> MakeFilterStream(std::unique_ptr<InStream> input, std::uint64_t outSize,
                                           std::unique_ptr<Converter> converter) {
    return std::make_unique<FilterStream>(std::move(input), outSize, std::move(converter));
}

}  // namespace qv::sevenzip
