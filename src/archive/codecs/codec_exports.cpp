// The exports of a codec library. A decoder is made from the library's own
// table; whatever it needs from outside (a password, a coder of another
// method) it asks the format library through the host functions.
#include <iterator>
#include <optional>
#include <string>

#include "archive/bridge/status.h"
#include "archive/bridge/streams.h"
#include "archive/codec_api.h"
#include "archive/codecs/codec_library.h"

namespace {

using namespace qv::sevenzip;
using qv::bridge::ExportStream;
using qv::bridge::ImportStream;
using qv::bridge::ImportStreams;

QvCoderSpec SpecOf(const Coder& coder, std::uint64_t outSize) {
    QvCoderSpec coderSpec{};
    coderSpec.methodId = coder.methodId;
    coderSpec.properties = coder.properties.data();
    coderSpec.propertiesSize = static_cast<std::uint32_t>(coder.properties.size());
    coderSpec.numInStreams = coder.numInStreams;
    coderSpec.outSize = outSize;
    return coderSpec;
}

// Coders of other methods, built by the format library.
class HostCoders : public CoderSource {
public:
    explicit HostCoders(const QvCodecHost& host) : host_(host) {}

    std::unique_ptr<InStream> MakeCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions&) const override {
        if (host_.createCoder == nullptr) ThrowUnsupportedMethod(coder.methodId);
        const QvCoderSpec coderSpec = SpecOf(coder, outSize);
        qv::bridge::HandedStreams streams(std::move(inputs));
        QvStream output{};
        QvStatus status{};
        const std::int32_t result = host_.createCoder(host_.context, &coderSpec, streams.data(), streams.size(), &output, &status);
        streams.Handed();
        if (result != kQvOk) qv::bridge::ThrowStatus(status);
        return ImportStream(output);
    }

private:
    const QvCodecHost& host_;
};

std::optional<std::u16string> AskPassword(const QvCodecHost& host) {
    if (host.password == nullptr) return std::nullopt;
    std::u16string password(64, u'\0');
    for (;;) {
        const std::int32_t n = host.password(host.context, reinterpret_cast<std::uint16_t*>(password.data()),
                                             static_cast<std::int32_t>(password.size()));
        if (n < 0) return std::nullopt;
        if (static_cast<std::size_t>(n) <= password.size()) {
            password.resize(static_cast<std::size_t>(n));
            return password;
        }
        password.resize(static_cast<std::size_t>(n));
    }
}

}  // namespace

extern "C" {

__declspec(dllexport) std::uint32_t QV_ARCHIVE_CALL QvCodecAbiVersion() { return kQvArchiveAbiVersion; }

__declspec(dllexport) std::uint32_t QV_ARCHIVE_CALL QvCodecMethods(std::uint64_t* ids, std::uint32_t capacity) {
    const qv::codecs::MethodTable table = qv::codecs::LibraryMethods();
    const auto count = static_cast<std::uint32_t>(table.end - table.begin);
    for (std::uint32_t i = 0; i < count && i < capacity && ids != nullptr; ++i) ids[i] = table.begin[i].id;
    return count;
}

__declspec(dllexport) std::int32_t QV_ARCHIVE_CALL QvCodecCreateDecoder(const QvCoderSpec* coderSpec, QvStream* inputs,
                                                                       std::uint32_t count, const QvCodecHost* host,
                                                                       QvStream* output, QvStatus* status) {
    try {
        if (inputs == nullptr && count != 0) return qv::bridge::SetStatus(status, kQvInternal, "Invalid call of the codec library");
        CoderInputs taken = ImportStreams(inputs, count);
        if (coderSpec == nullptr || host == nullptr || output == nullptr || host->abiVersion != kQvArchiveAbiVersion)
            return qv::bridge::SetStatus(status, kQvInternal, "Invalid call of the codec library");
        const qv::codecs::MethodTable table = qv::codecs::LibraryMethods();
        const CoderMethod* method = FindCoderMethod(table.begin, table.end, coderSpec->methodId);
        if (method == nullptr) ThrowUnsupportedMethod(coderSpec->methodId);
        Coder coder;
        coder.methodId = coderSpec->methodId;
        coder.numInStreams = coderSpec->numInStreams;
        if (coderSpec->propertiesSize != 0) coder.properties.assign(coderSpec->properties, coderSpec->properties + coderSpec->propertiesSize);
        const HostCoders coders(*host);
        DecodeOptions options;
        options.memoryLimit = host->memoryLimit;
        options.maxKeyStretchPower = host->maxKeyStretchPower;
        options.password = [host] { return AskPassword(*host); };
        options.coders = &coders;
        *output = ExportStream(method->make(coder, std::move(taken), coderSpec->outSize, options));
        return kQvOk;
    } catch (...) {
        return qv::bridge::SetStatusFromCurrentException(status);
    }
}

}  // extern "C"
