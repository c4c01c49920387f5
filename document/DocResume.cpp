// Continuing files where they were left: the document notes each file's position as it leaves it (another
// file, Close, quitting, and every few seconds of playback in case the program is ended abruptly) and jumps
// there when the file is opened again.
#include "document/MediaPlayerDoc.h"

#include "document/RedadIzivad.h"
#include "document/ResumeStore.h"
#include "engine/ComError.h"
#include "panels/FormatClock.h"
#include "settings/ProfileStore.h"
#include "settings/ProgramParams.h"

#include <QDir>
#include <QFileInfo>

namespace {
// Beside the settings file, named after it: "NRX MediaPlayer.conf" keeps its positions in
// "NRX MediaPlayer.resume". Without a settings store nothing is kept.
QString ResumeStoreFile() {
    const CProfileStore* store = CProfileStore::Active();
    if (!store) return {};
    const QFileInfo settings(store->FileName());
    return settings.dir().filePath(settings.completeBaseName() + QStringLiteral(".resume"));
}
} // namespace

void CMediaPlayerDoc::OpenResumeStore() {
    resume = std::make_unique<CResumeStore>(ResumeStoreFile());
    resume->Load();
}

void CMediaPlayerDoc::RememberPosition() {
    if (!resume || !Params.ResumePlayback || !IsFileOpen()) return;
    try {
        CVideoEngine* engine = Engine();
        const QFileInfo file(engine->GetFilePath());
        if (!file.exists()) return;
        const std::int64_t seconds = engine->GetCurrentTime();
        if (WorthResuming(seconds, engine->GetDuration()))
            resume->Remember(file.absoluteFilePath(), file.size(), seconds);
        else
            resume->Forget(file.absoluteFilePath(), file.size());
        resume->Save();
    } catch (const CComError&) {
        // A component that cannot tell the position leaves the kept one as it was.
    }
}

void CMediaPlayerDoc::ForgetPosition() {
    if (!resume || !IsFileOpen()) return;
    const QFileInfo file(Engine()->GetFilePath());
    resume->Forget(file.absoluteFilePath(), file.size());
    resume->Save();
}

void CMediaPlayerDoc::ResumeWhereLeft() {
    if (!resume || !Params.ResumePlayback || !IsFileOpen()) return;
    CVideoEngine* engine = Engine();
    const QFileInfo file(engine->GetFilePath());
    const std::optional<std::int64_t> seconds = resume->Find(file.absoluteFilePath(), file.size());
    // A file that has changed length since (or a kept position that no longer fits) starts from the
    // beginning.
    if (!seconds || !WorthResuming(*seconds, engine->GetDuration())) return;
    const double rate = engine->GetFrameRate();
    if (rate <= 0) return;
    engine->SetPosition(static_cast<std::int64_t>(*seconds * static_cast<double>(rate)));
    ShowStatusMessage(QStringLiteral("Resumed at ") + FormatClock(*seconds));
}
