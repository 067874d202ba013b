// Decodes a folder: connects its coders through the bind pairs, feeds them
// the folder's packed streams from the archive file, and checks that the
// output has the stated size (and CRC, where the folder has one).
#pragma once

#include <memory>

#include "archive/sevenzip/archive_model.h"
#include "archive/sevenzip/coder.h"
#include "archive/sevenzip/streams.h"

namespace qv::sevenzip {

// Decoded through options.coders.
std::unique_ptr<InStream> OpenFolderStream(RandomAccessSource& source, const StreamsInfo& streams,
                                           std::size_t folderIndex, const DecodeOptions& options);

// The folder's data passes through the 7z encryption method: damage found
// while decoding it most likely means a wrong password.
bool IsEncrypted(const Folder& folder);

}  // namespace qv::sevenzip
