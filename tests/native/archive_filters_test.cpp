// The filter methods against archives that 7zz wrote: every branch
// converter and byte swap, over code made to be full of the instructions
// each one converts, cut at odd sizes and spanning several decode buffers.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/builtin_coders.h"
#include "archive/sevenzip/method_ids.h"
#include "archive_fixtures.h"

namespace qv::sevenzip::testing {
namespace {

// Instruction words of one architecture mixed with random ones.
using Generator = std::function<void(std::mt19937& rng, Bytes& out)>;

void PutLe32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutBe32(Bytes& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A near displacement: what compilers write and converters convert.
std::uint32_t Near(std::mt19937& rng, std::uint32_t bits) {
    const std::uint32_t v = rng() & ((1u << bits) - 1);
    return rng() % 2 ? v : 0u - v;
}

Bytes Code(std::size_t size, std::uint32_t seed, const Generator& instruction) {
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < size) {
        if (rng() % 3 == 0) {
            instruction(rng, out);
        } else {
            out.push_back(static_cast<std::uint8_t>(rng() % 16));  // small opcodes and operands
        }
    }
    out.resize(size);
    return out;
}

void X86(std::mt19937& rng, Bytes& out) {
    switch (rng() % 4) {
        case 0: out.push_back(0xE8); break;
        case 1: out.push_back(0xE9); break;
        case 2:
            out.push_back(0x0F);
            out.push_back(static_cast<std::uint8_t>(0x80 | (rng() % 16)));
            break;
        default: out.push_back(0xE8); return;  // an opcode followed by other bytes
    }
    PutLe32(out, Near(rng, 20));
}

void PowerPc(std::mt19937& rng, Bytes& out) { PutBe32(out, 0x48000001 | (Near(rng, 22) & 0x03FFFFFC)); }

void Arm(std::mt19937& rng, Bytes& out) { PutLe32(out, 0xEB000000 | (rng() & 0xFFFFF)); }

void ArmThumb(std::mt19937& rng, Bytes& out) {
    const std::uint32_t offset = Near(rng, 18);
    out.push_back(static_cast<std::uint8_t>(offset >> 11));
    out.push_back(static_cast<std::uint8_t>(0xF0 | ((offset >> 19) & 7)));
    out.push_back(static_cast<std::uint8_t>(offset));
    out.push_back(static_cast<std::uint8_t>(0xF8 | ((offset >> 8) & 7)));
}

void Sparc(std::mt19937& rng, Bytes& out) { PutBe32(out, rng() % 2 ? 0x40000000 | (rng() & 0x3FFFFF) : 0x7FC00000 | (rng() & 0x3FFFFF)); }

void Arm64(std::mt19937& rng, Bytes& out) {
    if (rng() % 2) {
        PutLe32(out, 0x94000000 | (Near(rng, 20) & 0x03FFFFFF));
    } else {
        const std::uint32_t page = Near(rng, 16) & 0x1FFFFF;  // ADRP within +-512 MiB
        PutLe32(out, 0x90000000 | (page & 3) << 29 | (page >> 2) << 5 | (rng() & 0x1F));
    }
}

// A bundle whose template puts a branch in slot 2 (or in slots 1 and 2)
// with the opcode and type fields the converter looks for.
void Ia64(std::mt19937& rng, Bytes& out) {
    static const std::uint8_t kTemplates[] = {0x10, 0x11, 0x12, 0x13, 0x16, 0x17};
    Bytes bundle(16);
    for (auto& b : bundle) b = static_cast<std::uint8_t>(rng());
    bundle[0] = static_cast<std::uint8_t>((bundle[0] & 0xE0) | kTemplates[rng() % 6]);
    for (const unsigned bitPos : {5u + 41u, 5u + 82u}) {
        unsigned __int128 raw = 0;
        for (int j = 15; j >= 0; --j) raw = raw << 8 | bundle[j];
        const unsigned __int128 slotMask = ((unsigned __int128)1 << 41) - 1;
        std::uint64_t slot = static_cast<std::uint64_t>((raw >> bitPos) & slotMask);
        slot = (slot & ~(std::uint64_t(0xF) << 37)) | std::uint64_t(5) << 37;
        slot &= ~(std::uint64_t(7) << 9);
        slot = (slot & ~(std::uint64_t(0xFFFFF) << 13)) | std::uint64_t(rng() & 0xFFF) << 13;
        raw = (raw & ~(slotMask << bitPos)) | (unsigned __int128)slot << bitPos;
        for (int j = 0; j < 16; ++j) bundle[j] = static_cast<std::uint8_t>(raw >> (8 * j));
    }
    out.insert(out.end(), bundle.begin(), bundle.end());
}

void Words(std::mt19937& rng, Bytes& out) { PutLe32(out, rng()); }

struct FilterCase {
    const char* name;
    const char* filter;  // 7zz's name
    std::uint64_t methodId;
    Generator instruction;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

class ArchiveFilter : public ::testing::TestWithParam<FilterCase> {};

// Several files in one solid folder, so that the filter runs across file
// boundaries; sizes that cut instructions at the end.
TEST_P(ArchiveFilter, ExtractsWhatTheFilterConverted) {
    const FilterCase& c = GetParam();
    TempDir work;
    const std::map<std::string, Bytes> files = {
        {"code.bin", Code(300001, 1, c.instruction)},
        {"more.bin", Code(70003, 2, c.instruction)},
        {"tiny.bin", Code(3, 3, c.instruction)},
        {"text.txt", TextBytes(5000)},
    };
    for (const auto& [name, data] : files) WriteBytes(work.path() / "src" / name, data);
    const fs::path archivePath = work.path() / "f.7z";
    Make7z(archivePath, work.path() / "src", {"code.bin", "more.bin", "tiny.bin", "text.txt"},
           {std::string("-mf=") + c.filter, "-ms=on"});

    auto archive = OpenArchive(archivePath);
    MemoryTarget target;
    ExtractEntries(*archive, AllEntries(*archive), target);
    EXPECT_EQ(target.files, files);
}

// The same archive decoded with the filter taken for a copy fails its CRC:
// the data really was converted, and the test above proves the converter.
class FilterAsCopy : public CoderSource {
public:
    explicit FilterAsCopy(std::uint64_t id) : id_(id) {}
    std::unique_ptr<InStream> MakeCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions& options) const override {
        Coder replaced = coder;
        if (coder.methodId == id_) {
            replaced.methodId = method::kCopy;
            replaced.properties.clear();
        }
        return BuiltInCoders().MakeCoder(replaced, std::move(inputs), outSize, options);
    }

private:
    std::uint64_t id_;
};

TEST_P(ArchiveFilter, TheTestDataIsConverted) {
    const FilterCase& c = GetParam();
    TempDir work;
    WriteBytes(work.path() / "code.bin", Code(100000, 4, c.instruction));
    Make7z(work.path() / "f.7z", work.path(), {"code.bin"}, {std::string("-mf=") + c.filter});
    const FilterAsCopy coders(c.methodId);
    DecodeOptions options;
    options.coders = &coders;
    auto archive = OpenArchive(work.path() / "f.7z", options);
    MemoryTarget target;
    try {
        ExtractEntries(*archive, AllEntries(*archive), target);
        FAIL() << "the filter left the data as it was";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.kind(), ArchiveErrorKind::DataError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ArchiveFilter,
    ::testing::Values(FilterCase{"X86", "BCJ", method::kBcj, X86}, FilterCase{"PowerPc", "PPC", method::kPpc, PowerPc},
                      FilterCase{"Ia64", "IA64", method::kIa64, Ia64}, FilterCase{"Arm", "ARM", method::kArm, Arm},
                      FilterCase{"ArmThumb", "ARMT", method::kArmThumb, ArmThumb},
                      FilterCase{"Sparc", "SPARC", method::kSparc, Sparc},
                      FilterCase{"Arm64", "ARM64", method::kArm64, Arm64},
                      FilterCase{"Swap2", "Swap2", method::kSwap2, Words},
                      FilterCase{"Swap4", "Swap4", method::kSwap4, Words}),
    [](const ::testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.name); });

// BCJ2 over real and made-up x86 code, including an opcode as the very last
// byte and an address cut off by the end of the file.
TEST(ArchiveBcj2, ExtractsX86CodeSplitIntoFourStreams) {
    TempDir work;
    std::map<std::string, Bytes> files = {
        {"ls", ReadBytes("/usr/bin/ls")},
        {"made.bin", Code(400000, 5, X86)},
        {"ends-in-opcode.bin", Code(5000, 6, X86)},
        {"ends-in-address.bin", Code(7000, 7, X86)},
    };
    files["ends-in-opcode.bin"].push_back(0xE8);
    files["ends-in-address.bin"].insert(files["ends-in-address.bin"].end(), {0xE8, 0x10, 0x00});
    std::vector<std::string> names;
    for (const auto& [name, data] : files) {
        WriteBytes(work.path() / "src" / name, data);
        names.push_back(name);
    }
    for (const char* solid : {"-ms=on", "-ms=off"}) {
        SCOPED_TRACE(solid);
        const fs::path archivePath = work.path() / (std::string("b") + solid + ".7z");
        Make7z(archivePath, work.path() / "src", names, {"-mf=BCJ2", solid});
        auto archive = OpenArchive(archivePath);
        MemoryTarget target;
        ExtractEntries(*archive, AllEntries(*archive), target);
        EXPECT_EQ(target.files, files);
    }
}

TEST(ArchiveBcj, RealExecutable) {
    TempDir work;
    const Bytes ls = ReadBytes("/usr/bin/ls");
    WriteBytes(work.path() / "ls", ls);
    Make7z(work.path() / "ls.7z", work.path(), {"ls"}, {"-mf=BCJ", "-m0=lzma"});
    auto archive = OpenArchive(work.path() / "ls.7z");
    MemoryTarget target;
    ExtractEntries(*archive, AllEntries(*archive), target);
    EXPECT_EQ(target.files["ls"], ls);
}

}  // namespace
}  // namespace qv::sevenzip::testing
