#include "engine/EngineModule.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <map>
#include <mutex>

QString CEngineModule::DefaultPath() {
    const QByteArray overridePath = qgetenv("NRX_ENGINE_MODULE");
    if (!overridePath.isEmpty()) return QString::fromLocal8Bit(overridePath);
#if defined(_WIN32)
    const QString file = QStringLiteral("nrxvideoengine.dll");
#elif defined(__APPLE__)
    const QString file = QStringLiteral("libnrxvideoengine.dylib");
#else
    const QString file = QStringLiteral("libnrxvideoengine.so");
#endif
    return QCoreApplication::applicationDirPath() + QStringLiteral("/engines/") + file;
}

std::shared_ptr<CEngineModule> CEngineModule::Load(const QString& path) {
    static std::mutex cacheGuard; // guards cache
    static std::map<QString, std::shared_ptr<CEngineModule>> cache;
    std::lock_guard lock(cacheGuard);
    auto& slot = cache[path];
    if (!slot) slot.reset(new CEngineModule(path));
    return slot;
}

CEngineModule::CEngineModule(const QString& file) : path(file) {
    if (!QFileInfo(path).isFile()) {
        loadError = QStringLiteral("the engine module %1 does not exist").arg(path);
        return;
    }
    library = std::make_unique<QLibrary>(path);
    if (!library->load()) {
        loadError = QStringLiteral("the engine module could not be loaded: %1").arg(library->errorString());
        return;
    }
    auto createFn = reinterpret_cast<NrxCreateInstanceFn>(library->resolve(NRX_CREATE_INSTANCE_SYMBOL));
    freeString = reinterpret_cast<NrxFreeStringFn>(library->resolve(NRX_FREE_STRING_SYMBOL));
    lastErrorText = reinterpret_cast<NrxGetLastErrorTextFn>(library->resolve(NRX_LAST_ERROR_TEXT_SYMBOL));
    if (!createFn || !freeString || !lastErrorText) {
        loadError = QStringLiteral("%1 is not an engine module (its entry points are missing)").arg(path);
        freeString = nullptr;
        lastErrorText = nullptr;
        return;
    }
    create = createFn;
}

HRESULT CEngineModule::CreateInstance(const CLSID& clsid, const IID& iid, void** object) {
    *object = nullptr;
    if (!create) return REGDB_E_CLASSNOTREG;
    return create(&clsid, &iid, object);
}

QString CEngineModule::LastErrorText() const {
    // Without a usable module, the only failure there can be is creation, and this says why.
    if (!create) return QStringLiteral("Class not registered: %1.").arg(loadError);
    return TakeString(lastErrorText());
}

QString CEngineModule::TakeString(char* text) const {
    if (!text) return {};
    QString result = QString::fromUtf8(text);
    if (freeString) freeString(text);
    return result;
}
