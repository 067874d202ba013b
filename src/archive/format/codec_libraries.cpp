#include "archive/format/codec_libraries.h"

#include <algorithm>

#include "archive/bridge/status.h"
#include "archive/bridge/streams.h"
#include "archive/sevenzip/archive_error.h"

namespace qv::format {

using sevenzip::ArchiveError;
using sevenzip::ArchiveErrorKind;

namespace {

constexpr const char* kLibraryNames[] = {"Aes.dll", "7zAes.dll", "Branch.dll", "Copy.dll", "LZMA.dll", "Swap.dll"};

template <typename Fn>
Fn Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

[[noreturn]] void ThrowMissing(const std::string& path) {
    throw ArchiveError(ArchiveErrorKind::LibraryMissing, "The codec library \"" + path + "\" cannot be used");
}

// What a decoder being created may ask of this library: the password of
// the archive and coders of other methods.
struct HostContext {
    const CodecLibraries& libraries;
    const sevenzip::DecodeOptions& options;
};

std::int32_t QV_ARCHIVE_CALL HostPassword(void* context, std::uint16_t* buffer, std::int32_t capacity) {
    try {
        const auto& options = static_cast<HostContext*>(context)->options;
        const std::optional<std::u16string> password = options.password ? options.password() : std::nullopt;
        if (!password) return -1;
        const auto size = static_cast<std::int32_t>(std::min<std::size_t>(password->size(), INT32_MAX));
        if (size <= capacity) std::copy_n(password->data(), size, reinterpret_cast<char16_t*>(buffer));
        return size;
    } catch (...) {
        return -1;
    }
}

std::int32_t QV_ARCHIVE_CALL HostCreateCoder(void* context, const QvCoderSpec* coderSpec, QvStream* inputs,
                                             std::uint32_t count, QvStream* output, QvStatus* status) {
    try {
        if (inputs == nullptr && count != 0) return bridge::SetStatus(status, kQvInternal, "Invalid call of the host");
        sevenzip::CoderInputs taken = bridge::ImportStreams(inputs, count);
        if (coderSpec == nullptr || output == nullptr) return bridge::SetStatus(status, kQvInternal, "Invalid call of the host");
        const auto* host = static_cast<HostContext*>(context);
        sevenzip::Coder coder;
        coder.methodId = coderSpec->methodId;
        coder.numInStreams = coderSpec->numInStreams;
        if (coderSpec->propertiesSize != 0) coder.properties.assign(coderSpec->properties, coderSpec->properties + coderSpec->propertiesSize);
        *output = bridge::ExportStream(host->libraries.MakeCoder(coder, std::move(taken), coderSpec->outSize, host->options));
        return kQvOk;
    } catch (...) {
        return bridge::SetStatusFromCurrentException(status);
    }
}

}  // namespace

CodecLibraries::CodecLibraries(const std::string& folder) {
    for (const char* name : kLibraryNames) {
        const std::string path = folder + name;
        Library library;
        library.module.reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        if (!library.module) ThrowMissing(path);
        const HMODULE m = library.module.get();
        const auto version = Bind<QvCodecAbiVersionFn>(m, "QvCodecAbiVersion");
        const auto listMethods = Bind<QvCodecMethodsFn>(m, "QvCodecMethods");
        library.createDecoder = Bind<QvCodecCreateDecoderFn>(m, "QvCodecCreateDecoder");
        if (!version || !listMethods || !library.createDecoder || version() != kQvArchiveAbiVersion) ThrowMissing(path);
        std::vector<std::uint64_t> ids(listMethods(nullptr, 0));
        listMethods(ids.data(), static_cast<std::uint32_t>(ids.size()));
        for (const std::uint64_t id : ids) methods_.emplace(id, library.createDecoder);
        libraries_.push_back(std::move(library));
    }
}

std::unique_ptr<sevenzip::InStream> CodecLibraries::MakeCoder(const sevenzip::Coder& coder,
                                                              sevenzip::CoderInputs inputs, std::uint64_t outSize,
                                                              const sevenzip::DecodeOptions& options) const {
    const auto it = methods_.find(coder.methodId);
    if (it == methods_.end()) sevenzip::ThrowUnsupportedMethod(coder.methodId);
    QvCoderSpec coderSpec{};
    coderSpec.methodId = coder.methodId;
    coderSpec.properties = coder.properties.data();
    coderSpec.propertiesSize = static_cast<std::uint32_t>(coder.properties.size());
    coderSpec.numInStreams = coder.numInStreams;
    coderSpec.outSize = outSize;
    bridge::HandedStreams streams(std::move(inputs));

    HostContext context{*this, options};
    QvCodecHost host{};
    host.abiVersion = kQvArchiveAbiVersion;
    host.maxKeyStretchPower = options.maxKeyStretchPower;
    host.memoryLimit = options.memoryLimit;
    host.context = &context;
    host.password = HostPassword;
    host.createCoder = HostCreateCoder;
    QvStream output{};
    QvStatus status{};
    const std::int32_t result = it->second(&coderSpec, streams.data(), streams.size(), &host, &output, &status);
    streams.Handed();
    if (result != kQvOk) bridge::ThrowStatus(status);
    return bridge::ImportStream(output);
}

}  // namespace qv::format
