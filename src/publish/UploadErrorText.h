#pragma once

#include "publish/WebTransfer.h"

#include <QString>

// What went wrong with the web host, in plain German words for the status bar and the
// connection test: the name not found, the connection refused, the login refused, a certificate
// or host key not trusted, the folder missing or not writable, the disk full, no answer.
namespace UploadErrorText {

QString describe(const WebTransfer::Outcome& outcome, const WebTransfer& transfer);

} // namespace UploadErrorText
