// The translation tables, message files and language names come from the
// setup's resource archive and the system: any bytes must give answers or a
// list-index error, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/errors.h"
#include "common/text.h"
#include "wizard/language_names.h"
#include "wizard/language_selection.h"
#include "wizard/message_table.h"
#include "wizard/translation_tables.h"

namespace {

// The input is the three files and a few lookup keys, separated by 0 bytes.
std::vector<std::string_view> Parts(std::string_view data) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= data.size(); ++i) {
        if (i == data.size() || data[i] == '\0') {
            parts.push_back(data.substr(start, i - start));
            start = i + 1;
        }
    }
    while (parts.size() < 6) parts.emplace_back();
    return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto parts = Parts(input);
    qv::TranslationTables tables(parts[0], parts[1], parts[2]);
    std::vector<std::string> keys = qv::SplitLines(parts[1]);
    keys.emplace_back(parts[3]);
    for (const auto& key : keys) {
        for (int n = -1; n <= 6; ++n) {
            try {
                tables.CommandText(key, n);
            } catch (const qv::ListIndexError&) {
            }
        }
        for (const auto& dialog : qv::SplitLines(parts[0])) {
            try {
                tables.DialogText(dialog, key);
            } catch (const qv::ListIndexError&) {
            }
        }
    }

    qv::LoadMessageText(input);
    for (int line = 1; line <= qv::kMessageFileLines; ++line)
        if (line <= 90 || line >= 112) qv::MessageText(qv::Msg(line));
    qv::ResetMessagesForTest();

    qv::LanguageNameOfLocaleValue(parts[4]);
    std::vector<std::string> found = qv::SplitLines(parts[5]);
    qv::LanguageCandidates candidates = qv::SelectCandidates(found, std::string(parts[3]), std::string(parts[4]));
    std::vector<std::string> items;
    for (const auto& path : candidates.paths) items.push_back(qv::CandidateLanguage(path));
    std::size_t selected = qv::PreselectedLanguage(items, std::string(parts[4]), std::string(parts[3]));
    if (!items.empty() && selected >= items.size()) __builtin_trap();
    return 0;
}
