// The built-in texts the system shows, with their English defaults.
//
// A message file replaces them all at once: 115 lines in the system code
// page, one entry per line in the order of the `Msg` numbers below; lines 91
// to 111 are read and ignored, and an entry whose line is missing becomes
// empty. Nothing resets the table to the defaults.
#pragma once

#include <string>
#include <string_view>

namespace qv {

// Each entry is named after its text; the value is its line in a message file.
enum class Msg : int {
    CommonControlsUpdate = 1,
    ResourceNotFound = 2,
    ResourceDecompressionFailure = 3,
    DatabaseNotFound = 4,
    RuntimeErrorInInstall = 5,
    Bytes = 6,
    KB = 7,
    MB = 8,
    GetUndefinedVariable = 9,
    SetUndefinedVariable = 10,
    Copying = 11,
    UnableToCopy = 12,
    DownloadingWebMedia = 13,
    UnableToDownload = 14,
    ExtractingWebMedia = 15,
    UnableToExtract = 16,
    LocateSources = 17,
    SourcesNotFound = 18,
    GeneralSetupFailure = 19,
    RuntimeErrorInScript = 20,
    PercentComplete = 21,
    BytesReceived = 22,
    WizardCaption = 23,
    Preparing = 24,
    RetryDownloadCaption = 25,
    RetryDownloadText = 26,
    ProxyInformation = 27,
    ProxyServer = 28,
    ProxyPort = 29,
    RetryDownloadNo = 30,
    Yes = 31,
    No = 32,
    RetryExtractionCaption = 33,
    RetryExtractionText = 34,
    DownloadFreshCopy = 35,
    ExtractAgain = 36,
    RetryExtractionCancel = 37,
    OK = 38,
    Cancel = 39,
    ConfirmCancel = 40,
    ProxyUser = 41,
    ProxyPassword = 42,
    FatalError = 43,
    Error = 44,
    Warning = 45,
    Message = 46,
    FilesInUse = 47,
    OutOfDiskSpace = 48,
    DownloadFailedConnect = 49,
    WouldYouLike = 50,
    ResumeDownload = 51,
    NewDownload = 52,
    ResumeCancel = 53,
    DownloadStatus0 = 54,
    DownloadStatus1 = 55,
    DownloadStatus2 = 56,
    DownloadStatus3 = 57,
    DownloadStatus4 = 58,
    DownloadStatus5 = 59,
    DownloadStatus6 = 60,
    DownloadStatus7 = 61,
    DownloadStatus8 = 62,
    DownloadStatus9 = 63,
    DownloadStatus10 = 64,
    DownloadStatus11 = 65,
    DownloadStatus12 = 66,
    DownloadStatus13 = 67,
    DownloadStatus14 = 68,
    DownloadStatus15 = 69,
    DownloadStatus16 = 70,
    DownloadStatus17 = 71,
    DownloadStatus18 = 72,
    DownloadStatus19 = 73,
    DownloadStatus20 = 74,
    DownloadStatus21 = 75,
    DownloadStatus22 = 76,
    DownloadStatus23 = 77,
    DownloadStatus24 = 78,
    DownloadStatus25 = 79,
    DownloadStatus26 = 80,
    DownloadStatus27 = 81,
    DownloadStatus28 = 82,
    DownloadStatus29 = 83,
    DownloadStatus30 = 84,
    DownloadStatus31 = 85,
    DownloadStatus32 = 86,
    DownloadStatus33 = 87,
    PendingOperations = 88,
    SelectLanguageCaption = 89,
    SelectLanguageText = 90,
    FlashFailed = 112,
    WillBeInstalled = 113,
    EntireFeatureInstalled = 114,
    EntireFeatureUnavailable = 115,
};

inline constexpr int kMessageCount = 94;
inline constexpr int kMessageFileLines = 115;

// The current text of an entry (thread-safe to read; written only between
// commands and at start-up).
const std::string& MessageText(Msg id);

// Replaces the table from a message file's content.
void LoadMessageText(std::string_view fileContent);

// Back to the English defaults; only tests need this.
void ResetMessagesForTest();

}  // namespace qv
