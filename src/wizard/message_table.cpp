#include "wizard/message_table.h"

#include <array>

#include "common/text.h"

namespace qv {

namespace {

struct Default {
    Msg id;
    const char* text;
};

constexpr Default kDefaults[] = {
    {Msg::CommonControlsUpdate, "Please install the common controls update from Microsoft before attempting to install this product."},
    {Msg::ResourceNotFound, "Setup resource not found"},
    {Msg::ResourceDecompressionFailure, "Setup resource decompression failure"},
    {Msg::DatabaseNotFound, "Setup database not found"},
    {Msg::RuntimeErrorInInstall, "Runtime error in install: "},
    {Msg::Bytes, "bytes"},
    {Msg::KB, "KB"},
    {Msg::MB, "MB"},
    {Msg::GetUndefinedVariable, "Attempting to get value of undefined variable "},
    {Msg::SetUndefinedVariable, "Attempting to set value of undefined variable "},
    {Msg::Copying, "Copying: "},
    {Msg::UnableToCopy, "Unable to copy installation data to local folders"},
    {Msg::DownloadingWebMedia, "Downloading Web Media: "},
    {Msg::UnableToDownload, "Unable to download installation data from the web"},
    {Msg::ExtractingWebMedia, "Extracting Web Media: "},
    {Msg::UnableToExtract, "Unable to extract installation data downloaded from the web"},
    {Msg::LocateSources, "Please locate your original setup sources to continue operation"},
    {Msg::SourcesNotFound, "Original setup sources required to complete operation, sources not found"},
    {Msg::GeneralSetupFailure, "General setup failure"},
    {Msg::RuntimeErrorInScript, "Runtime error in setup script:"},
    {Msg::PercentComplete, "% complete"},
    {Msg::BytesReceived, "bytes received"},
    {Msg::WizardCaption, "Quorvex Wizard"},
    {Msg::Preparing, "Quorvex\x99 is preparing the Quorvex\x99 Installation Wizard which will install this application. Please wait."},
    {Msg::RetryDownloadCaption, "Retry Download?"},
    {Msg::RetryDownloadText, "Downloading of installation data from the web has failed. Would you like to try again?"},
    {Msg::ProxyInformation, " Proxy Information (optional) "},
    {Msg::ProxyServer, "Proxy &Server:"},
    {Msg::ProxyPort, "Proxy &Port:"},
    {Msg::RetryDownloadNo, "If you choose No, setup will exit. However, you will be able to resume your download from where it left off when you re-run setup."},
    {Msg::Yes, "&Yes"},
    {Msg::No, "&No"},
    {Msg::RetryExtractionCaption, "Retry Extraction?"},
    {Msg::RetryExtractionText, "Extraction of installation data downloaded from the web has failed. What would you like to do?"},
    {Msg::DownloadFreshCopy, "&Download a fresh copy of the installation data."},
    {Msg::ExtractAgain, "Try to &extract the existing download data again."},
    {Msg::RetryExtractionCancel, "If you choose Cancel, setup will exit. Your existing download data will be preserved."},
    {Msg::OK, "&OK"},
    {Msg::Cancel, "&Cancel"},
    {Msg::ConfirmCancel, "Are you sure you want to cancel?"},
    {Msg::ProxyUser, "Proxy &User:"},
    {Msg::ProxyPassword, "Proxy Pass&word:"},
    {Msg::FatalError, "Fatal Error"},
    {Msg::Error, "Error"},
    {Msg::Warning, "Warning"},
    {Msg::Message, "Message"},
    {Msg::FilesInUse, "Files in Use"},
    {Msg::OutOfDiskSpace, "Out of Disk Space"},
    {Msg::DownloadFailedConnect, "Downloading of installation data from the web has failed. Please make sure you are connected to the Internet."},
    {Msg::WouldYouLike, "Would you like to:"},
    {Msg::ResumeDownload, "Try to &resume the broken download?"},
    {Msg::NewDownload, "Download a &new copy of the data instead?"},
    {Msg::ResumeCancel, "If you choose Cancel, setup will exit. However, you will be able to resume your download from where it left off when you re-run setup."},
    {Msg::DownloadStatus0, ""},
    {Msg::DownloadStatus1, "Locating resource"},
    {Msg::DownloadStatus2, "Connecting to"},
    {Msg::DownloadStatus3, "Redirecting to"},
    {Msg::DownloadStatus4, "Beginning data transfer"},
    {Msg::DownloadStatus5, "Transferring data"},
    {Msg::DownloadStatus6, "Finishing data transfer"},
    {Msg::DownloadStatus7, "Beginning component download"},
    {Msg::DownloadStatus8, "Installing components"},
    {Msg::DownloadStatus9, "Finishing component download"},
    {Msg::DownloadStatus10, "Resuming broken download"},
    {Msg::DownloadStatus11, "Requesting data"},
    {Msg::DownloadStatus12, "CLASSID available"},
    {Msg::DownloadStatus13, "Download data recognized"},
    {Msg::DownloadStatus14, "Saving download information"},
    {Msg::DownloadStatus15, "Beginning synchronous operation"},
    {Msg::DownloadStatus16, "Finishing synchronous operation"},
    {Msg::DownloadStatus17, "Beginning data upload"},
    {Msg::DownloadStatus18, "Uploading data"},
    {Msg::DownloadStatus19, "Finishing data upload"},
    {Msg::DownloadStatus20, "Protocol CLASSID"},
    {Msg::DownloadStatus21, "Encoding"},
    {Msg::DownloadStatus22, "Download data recognized and verified"},
    {Msg::DownloadStatus23, "Class install location"},
    {Msg::DownloadStatus24, "Decoding"},
    {Msg::DownloadStatus25, "Loading data handler"},
    {Msg::DownloadStatus26, "Content disposition attach"},
    {Msg::DownloadStatus27, "Download data filtered"},
    {Msg::DownloadStatus28, "CLSID can instantiate"},
    {Msg::DownloadStatus29, "COM services unavailable"},
    {Msg::DownloadStatus30, "Direct bind"},
    {Msg::DownloadStatus31, "Unrecognized download data"},
    {Msg::DownloadStatus32, "Detecting proxy information"},
    {Msg::DownloadStatus33, "Accept ranges"},
    {Msg::PendingOperations, "A previously executed setup still has pending operations on the system. Please restart your computer before attempting to install this product."},
    {Msg::SelectLanguageCaption, "Select Setup Language"},
    {Msg::SelectLanguageText, "Please select the language to use during the installation:"},
    {Msg::FlashFailed, "Unable to play Flash movie"},
    {Msg::WillBeInstalled, "Will be &installed on local hard drive"},
    {Msg::EntireFeatureInstalled, "&Entire feature will be installed on local hard drive"},
    {Msg::EntireFeatureUnavailable, "Entire feature will be &unavailable"},
};
static_assert(sizeof(kDefaults) / sizeof(kDefaults[0]) == kMessageCount, "every entry has a default");

std::array<std::string, kMessageFileLines + 1>& Table() {
    static std::array<std::string, kMessageFileLines + 1> table = [] {
        std::array<std::string, kMessageFileLines + 1> t;
        for (const auto& d : kDefaults) t[std::size_t(d.id)] = d.text;
        return t;
    }();
    return table;
}

bool IsEntryLine(int line) { return (line >= 1 && line <= 90) || (line >= 112 && line <= kMessageFileLines); }

}  // namespace

const std::string& MessageText(Msg id) { return Table()[std::size_t(id)]; }

void LoadMessageText(std::string_view content) {
    std::vector<std::string> lines = SplitLines(content);
    auto& table = Table();
    for (int line = 1; line <= kMessageFileLines; ++line) {
        if (!IsEntryLine(line)) continue;
        table[std::size_t(line)] = std::size_t(line) <= lines.size() ? lines[std::size_t(line) - 1] : std::string();
    }
}

void ResetMessagesForTest() {
    for (const auto& d : kDefaults) Table()[std::size_t(d.id)] = d.text;
}

}  // namespace qv
