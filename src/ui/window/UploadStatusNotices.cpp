#include "ui/window/UploadStatusNotices.h"

#include "publish/WebUploader.h"
#include "session/RaceSession.h"
#include "ui/window/MainStatusBar.h"

UploadStatusNotices::UploadStatusNotices(RaceSession& session, MainStatusBar& statusBar,
                                         QObject* parent)
    : QObject(parent), m_statusBar(statusBar) {
    connect(&session, &RaceSession::uploadStatusChanged, this, &UploadStatusNotices::show);
    // Start-up may have reported before the window was there.
    if (const WebUploader* uploader = session.upload())
        show(uploader->statusText(), uploader->isFailing());
}

void UploadStatusNotices::show(const QString& text, bool failing) {
    m_statusBar.setLastingNotice(topic(), failing ? text : QString());
    if (failing || text.isEmpty()) {
        m_shown.invalidate();
        return;
    }
    if (m_shown.isValid() && m_shown.elapsed() < NoticeMs)
        return;
    m_shown.start();
    m_statusBar.showNotice(text, NoticeMs);
}
