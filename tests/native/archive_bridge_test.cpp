// The byte streams and status codes that cross the boundaries between the
// archive libraries: failures keep their kind and text through any number
// of crossings, every stream handed over is released exactly once, and
// whole archives decode alike with every stream sent across.
#include <gtest/gtest.h>

#include <cstring>

#include "archive/bridge/loopback_coders.h"
#include "archive/bridge/status.h"
#include "archive/bridge/streams.h"
#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/builtin_coders.h"
#include "archive_fixtures.h"

namespace qv::sevenzip::testing {
namespace {

// Gives its bytes, then fails with the given kind; counts live streams.
class ScriptedStream : public InStream {
public:
    ScriptedStream(Bytes bytes, std::optional<ArchiveErrorKind> failure, int& live)
        : bytes_(std::move(bytes)), failure_(failure), live_(live) {
        ++live_;
    }
    ~ScriptedStream() override { --live_; }
    std::size_t Read(std::uint8_t* dst, std::size_t size) override {
        if (at_ == bytes_.size()) {
            if (failure_) throw ArchiveError(*failure_, "scripted failure");
            return 0;
        }
        const std::size_t n = std::min(size, bytes_.size() - at_);
        std::memcpy(dst, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    Bytes bytes_;
    std::optional<ArchiveErrorKind> failure_;
    std::size_t at_ = 0;
    int& live_;
};

// Across the interface and back, twice: as a stream goes from the format
// library to a codec library and on to another.
std::unique_ptr<InStream> Cross(std::unique_ptr<InStream> s) {
    auto once = bridge::ImportStream(bridge::ExportStream(std::move(s)));
    QvStream raw = bridge::ExportStream(std::move(once));
    return bridge::ImportStream(raw);
}

TEST(ArchiveBridge, FailuresKeepTheirKindAndText) {
    for (const ArchiveErrorKind kind : {ArchiveErrorKind::DataError, ArchiveErrorKind::WrongPassword,
                                        ArchiveErrorKind::Cancelled, ArchiveErrorKind::ResourceLimit}) {
        int live = 0;
        auto s = Cross(std::make_unique<ScriptedStream>(Bytes{1, 2, 3}, kind, live));
        std::uint8_t buffer[8];
        EXPECT_EQ(s->Read(buffer, sizeof buffer), 3u);
        try {
            s->Read(buffer, sizeof buffer);
            FAIL() << "no failure";
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.kind(), kind);
            EXPECT_STREQ(e.what(), "scripted failure");
        }
        s.reset();
        EXPECT_EQ(live, 0);
    }
}

TEST(ArchiveBridge, EveryStreamHandedOverIsReleasedOnce) {
    int live = 0;
    {
        CoderInputs inputs;
        for (int i = 0; i < 3; ++i) inputs.push_back(std::make_unique<ScriptedStream>(Bytes{1}, std::nullopt, live));
        bridge::HandedStreams handed(std::move(inputs));
        EXPECT_EQ(live, 3);  // a call that never took them: released here
    }
    EXPECT_EQ(live, 0);
    {
        CoderInputs inputs;
        for (int i = 0; i < 2; ++i) inputs.push_back(std::make_unique<ScriptedStream>(Bytes{1}, std::nullopt, live));
        bridge::HandedStreams handed(std::move(inputs));
        CoderInputs taken = bridge::ImportStreams(handed.data(), handed.size());
        handed.Handed();
        EXPECT_EQ(live, 2);
    }
    EXPECT_EQ(live, 0);
}

// A library that claims more bytes than it was asked for is not believed.
TEST(ArchiveBridge, AReadBeyondTheRequestIsAnError) {
    QvStream liar{nullptr, [](void*, std::uint8_t*, std::uint32_t size) { return static_cast<std::int32_t>(size + 1); },
                  [](void*, QvStatus*) {}, [](void*) {}};
    auto s = bridge::ImportStream(liar);
    std::uint8_t buffer[4];
    try {
        s->Read(buffer, sizeof buffer);
        FAIL() << "believed";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.kind(), ArchiveErrorKind::Internal);
    }
}

TEST(ArchiveBridge, StatusCodesAndKindsCorrespond) {
    for (int code = kQvNotArchive; code <= kQvInternal; ++code) EXPECT_EQ(bridge::CodeOf(bridge::KindOf(code)), code);
    QvStatus status;
    bridge::SetStatus(&status, kQvDamaged, std::string(1000, 'x'));
    EXPECT_EQ(std::strlen(status.message), sizeof status.message - 1);
}

// Archives of every coder family, with every stream sent across the
// interface: the libraries' layout, run natively.
TEST(ArchiveBridge, ArchivesDecodeAlikeWithEveryStreamCrossing) {
    TempDir work;
    const std::map<std::string, Bytes> files = {{"code.bin", ReadBytes("/usr/bin/ls")}, {"text.txt", TextBytes(90000)}};
    for (const auto& [name, data] : files) WriteBytes(work.path() / "src" / name, data);
    const bridge::LoopbackCoders crossing(BuiltInCoders());
    for (const std::vector<std::string>& switches :
         std::vector<std::vector<std::string>>{{"-mf=BCJ2"}, {"-m0=lzma", "-mf=ARM64"}, {"-mf=Swap2"}, {"-m0=copy"},
                                               {"-mf=BCJ2", "-pSecret", "-mhe=on"}}) {
        SCOPED_TRACE(switches.front());
        const fs::path archivePath = work.path() / "a.7z";
        fs::remove(archivePath);
        Make7z(archivePath, work.path() / "src", {"code.bin", "text.txt"}, switches);
        DecodeOptions options;
        options.coders = &crossing;
        options.password = [] { return std::u16string(u"Secret"); };
        auto archive = OpenArchive(archivePath, options);
        MemoryTarget target;
        ExtractEntries(*archive, AllEntries(*archive), target);
        EXPECT_EQ(target.files, files);
    }
}

TEST(ArchiveBridge, AWrongPasswordIsStillReportedAsSuch) {
    TempDir work;
    WriteBytes(work.path() / "a.txt", TextBytes(5000));
    Make7z(work.path() / "a.7z", work.path(), {"a.txt"}, {"-pSecret", "-mhe=off"});
    const bridge::LoopbackCoders crossing(BuiltInCoders());
    DecodeOptions options;
    options.coders = &crossing;
    options.password = [] { return std::u16string(u"wrong"); };
    auto archive = OpenArchive(work.path() / "a.7z", options);
    MemoryTarget target;
    try {
        ExtractEntries(*archive, AllEntries(*archive), target);
        FAIL() << "extracted";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.kind(), ArchiveErrorKind::WrongPassword);
    }
}

}  // namespace
}  // namespace qv::sevenzip::testing
