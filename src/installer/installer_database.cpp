#include "installer/installer_database.h"

#include <windows.h>

#include "installer/database_statements.h"
#include "installer/msi_library.h"
#include "installer/product_queries.h"

namespace qv::win {

namespace {

using CloseHandleFn = UINT(WINAPI*)(MsiHandleValue);
using OpenDatabaseFn = UINT(WINAPI*)(const char*, const char*, MsiHandleValue*);
using OpenViewFn = UINT(WINAPI*)(MsiHandleValue, const char*, MsiHandleValue*);
using ViewExecuteFn = UINT(WINAPI*)(MsiHandleValue, MsiHandleValue);
using ViewFetchFn = UINT(WINAPI*)(MsiHandleValue, MsiHandleValue*);
using ViewModifyFn = UINT(WINAPI*)(MsiHandleValue, int, MsiHandleValue);
using ViewCloseFn = UINT(WINAPI*)(MsiHandleValue);
using RecordFieldCountFn = UINT(WINAPI*)(MsiHandleValue);
using RecordGetStringFn = UINT(WINAPI*)(MsiHandleValue, UINT, char*, DWORD*);
using RecordSetStringFn = UINT(WINAPI*)(MsiHandleValue, UINT, const char*);
using DatabaseCommitFn = UINT(WINAPI*)(MsiHandleValue);
using GetSummaryInformationFn = UINT(WINAPI*)(MsiHandleValue, const char*, UINT, MsiHandleValue*);
using SummarySetPropertyFn = UINT(WINAPI*)(MsiHandleValue, UINT, UINT, INT, FILETIME*, const char*);
using SummaryGetPropertyFn = UINT(WINAPI*)(MsiHandleValue, UINT, UINT*, INT*, FILETIME*, char*, DWORD*);
using SummaryPersistFn = UINT(WINAPI*)(MsiHandleValue);

constexpr UINT kSuccess = 0;
constexpr UINT kMoreData = 234;
// MSIDBOPEN_TRANSACT: the installer takes the mode as a pointer-sized number.
const char* const kOpenTransacted = reinterpret_cast<const char*>(static_cast<ULONG_PTR>(2));
constexpr int kModifyUpdate = 2;

// A view closed before its handle, as the installer expects.
class View {
public:
    View(MsiHandleValue database, const std::string& sql) {
        opened_ = Msi<OpenViewFn>("MsiDatabaseOpenViewA")(database, sql.c_str(), view_.out()) == kSuccess;
    }
    ~View() {
        if (view_) Msi<ViewCloseFn>("MsiViewClose")(view_.get());
    }
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    bool Execute() { return opened_ && Msi<ViewExecuteFn>("MsiViewExecute")(view_.get(), 0) == kSuccess; }
    // The next row; an empty handle once there are no more (or on failure).
    MsiHandle Fetch() {
        MsiHandle record;
        if (Msi<ViewFetchFn>("MsiViewFetch")(view_.get(), record.out()) != kSuccess) record.reset();
        return record;
    }
    void Update(const MsiHandle& record) { Msi<ViewModifyFn>("MsiViewModify")(view_.get(), kModifyUpdate, record.get()); }

private:
    MsiHandle view_;
    bool opened_ = false;
};

std::string RecordString(const MsiHandle& record, UINT field) {
    auto get = Msi<RecordGetStringFn>("MsiRecordGetStringA");
    std::string text(256, '\0');
    DWORD length = static_cast<DWORD>(text.size());
    UINT r = get(record.get(), field, text.data(), &length);
    if (r == kMoreData) {
        text.assign(length + 1, '\0');
        length = static_cast<DWORD>(text.size());
        r = get(record.get(), field, text.data(), &length);
    }
    if (r != kSuccess) return {};
    text.resize(length);
    return text;
}

void RunStatements(const std::string& databasePath, const std::vector<std::string>& statements) {
    InstallerDatabase database(databasePath);
    for (const std::string& sql : statements) database.Execute(sql);
    database.Commit();
}

}  // namespace

void MsiHandle::reset(MsiHandleValue value) {
    if (value_ != 0) Msi<CloseHandleFn>("MsiCloseHandle")(value_);
    value_ = value;
}

InstallerDatabase::InstallerDatabase(const std::string& path) {
    if (Msi<OpenDatabaseFn>("MsiOpenDatabaseA")(path.c_str(), kOpenTransacted, database_.out()) != kSuccess)
        database_.reset();
}

bool InstallerDatabase::Execute(const std::string& sql) {
    if (!database_) return false;
    View view(database_.get(), sql);
    return view.Execute();
}

std::vector<std::vector<std::string>> InstallerDatabase::Select(const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    if (!database_) return rows;
    View view(database_.get(), sql);
    if (!view.Execute()) return rows;
    auto fieldCount = Msi<RecordFieldCountFn>("MsiRecordGetFieldCount");
    while (MsiHandle record = view.Fetch()) {
        std::vector<std::string> row;
        UINT fields = fieldCount(record.get());
        for (UINT f = 1; f <= fields; ++f) row.push_back(RecordString(record, f));
        rows.push_back(std::move(row));
    }
    return rows;
}

void InstallerDatabase::SetPackageCode(const std::string& packageCode) {
    if (!database_) return;
    MsiHandle summary;
    if (Msi<GetSummaryInformationFn>("MsiGetSummaryInformationA")(database_.get(), nullptr, 1, summary.out()) !=
        kSuccess)
        return;
    Msi<SummarySetPropertyFn>("MsiSummaryInfoSetPropertyA")(summary.get(), kSummaryPackageCode, kSummaryStringType, 0,
                                                           nullptr, packageCode.c_str());
    Msi<SummaryPersistFn>("MsiSummaryInfoPersist")(summary.get());
}

bool InstallerDatabase::Commit() {
    return database_ && Msi<DatabaseCommitFn>("MsiDatabaseCommit")(database_.get()) == kSuccess;
}

void WriteDeferredProperties(InstallerRecords& records, const std::string& databasePath,
                             const NewInstanceCodes& codes) {
    if (records.newInstanceMode) RegenerateComponentIds(databasePath);
    if (records.properties.empty()) return;
    {
        InstallerDatabase database(databasePath);
        for (std::size_t i = 0; i < records.properties.size(); ++i) {
            if (i + 1 == records.properties.size() && records.newInstanceMode) {
                database.SetPackageCode(codes.revisionCode);
                database.Execute(ProductCodeStatement(codes.productCode));
                records.newInstanceDatabasePath = databasePath;
            }
            const DeferredProperty& p = records.properties[i];
            for (const std::string& sql : PropertyStatements(p.name, p.value)) database.Execute(sql);
        }
        database.Commit();
    }
    records.properties.clear();
}

void RegenerateComponentIds(const std::string& databasePath) {
    InstallerDatabase database(databasePath);
    if (!database.opened()) return;
    {
        View view(database.handle(), kComponentIdQuery);
        if (!view.Execute()) return;
        auto setString = Msi<RecordSetStringFn>("MsiRecordSetStringA");
        while (MsiHandle record = view.Fetch()) {
            setString(record.get(), 1, NewGuidText().c_str());
            view.Update(record);
        }
    }
    database.Commit();
}

void ApplyShortcutUpdates(const InstallerRecords& records, const std::string& databasePath) {
    RunStatements(databasePath, ShortcutUpdateStatements(records.shortcutUpdates));
}

void ApplyProgIdUpdates(const InstallerRecords& records, const std::string& databasePath) {
    RunStatements(databasePath, ProgIdUpdateStatements(records.progIdUpdates));
}

std::string DatabasePackageCode(const std::string& databasePath) {
    MsiHandle summary;
    if (Msi<GetSummaryInformationFn>("MsiGetSummaryInformationA")(0, databasePath.c_str(), 0, summary.out()) !=
        kSuccess)
        return {};
    UINT type = 0;
    INT number = 0;
    char text[64] = {};
    DWORD length = sizeof text;
    if (Msi<SummaryGetPropertyFn>("MsiSummaryInfoGetPropertyA")(summary.get(), kSummaryPackageCode, &type, &number,
                                                               nullptr, text, &length) != kSuccess)
        return {};
    return std::string(text, length);
}

std::string DatabaseProductVersion(const std::string& databasePath) {
    // Opened without a commit: the copy stays as the installer left it.
    InstallerDatabase database(databasePath);
    auto rows = database.Select("SELECT `Value` FROM `Property` WHERE `Property` = 'ProductVersion'");
    return rows.empty() || rows.front().empty() ? std::string() : rows.front().front();
}

}  // namespace qv::win
