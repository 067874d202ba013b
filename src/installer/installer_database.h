// The workspace copy of the installer database: every operation opens it
// afresh in transacted mode, commits once and closes all it opened, so no
// handle outlives the operation. Statement failures are not errors: an
// INSERT of a property the database already has is expected to fail.
#pragma once

#include <string>
#include <vector>

#include "installer/deferred_properties.h"
#include "installer/msi_handle.h"

namespace qv::win {

class InstallerDatabase {
public:
    // Opens in transacted mode; when that fails, every statement fails.
    explicit InstallerDatabase(const std::string& path);

    bool opened() const { return static_cast<bool>(database_); }
    // Opens a view on the statement and executes it; false when either fails.
    bool Execute(const std::string& sql);
    // The rows of a query, each field as text; empty when the query fails.
    std::vector<std::vector<std::string>> Select(const std::string& sql);
    // Sets the package code in the summary information (persisted at once).
    void SetPackageCode(const std::string& packageCode);
    bool Commit();
    MsiHandleValue handle() const { return database_.get(); }

private:
    MsiHandle database_;
};

// The codes a new instance receives.
struct NewInstanceCodes {
    std::string productCode;
    std::string revisionCode;
};

// Writes the recorded properties into the Property table ("$NEWLINE$" back
// to CR LF, later pairs of a name winning) and empties the list. In new
// instance mode the database first gets fresh component identifiers, and
// before its last pair the new package code and product code; its path is
// then kept as the new instance's database.
void WriteDeferredProperties(InstallerRecords& records, const std::string& databasePath,
                             const NewInstanceCodes& codes);

// Every ComponentId becomes a fresh GUID.
void RegenerateComponentIds(const std::string& databasePath);

void ApplyShortcutUpdates(const InstallerRecords& records, const std::string& databasePath);
void ApplyProgIdUpdates(const InstallerRecords& records, const std::string& databasePath);

// The package code in a database's summary information; empty when it
// cannot be read.
std::string DatabasePackageCode(const std::string& databasePath);

// The ProductVersion property of a database; empty when it cannot be read.
std::string DatabaseProductVersion(const std::string& databasePath);

}  // namespace qv::win
