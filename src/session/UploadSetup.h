#pragma once

#include "publish/UploadTarget.h"
#include "publish/WebUploader.h"

class CupDocument;
class ProgramPaths;
struct Settings;

// What the session hands the web uploader: the target from the settings, the folder its queue
// is kept in, and each round's state with the cup's page.
namespace UploadSetup {

UploadTarget target(const Settings& settings);
// Where an SFTP host's key is looked up when the settings name no file.
QString defaultKnownHosts();
// <writable folder>/<title>-Webspace/<one folder per target URL>: what one host confirmed
// having says nothing about another.
QString queueFolder(const ProgramPaths& paths, const QString& url);
WebUploader::Round round(const LiveSnapshot& snapshot, double serverTimeMs,
                         const Settings& settings, const CupDocument& cup);

} // namespace UploadSetup
