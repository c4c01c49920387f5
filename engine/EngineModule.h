// CEngineModule: finds and loads the media engine component's shared module and reaches its three exported
// functions; the stand-in for object creation by class id.
#pragma once

#include "engine/module/VideoDevice.h"

#include <QString>
#include <memory>

class QLibrary;

class CEngineModule {
public:
    // The module file the player uses: NRX_ENGINE_MODULE when set, else
    // <program folder>/engines/libnrxvideoengine.so (the platform's module name elsewhere).
    static QString DefaultPath();

    // Loads (once per process and file; modules are never unloaded because the component's objects may
    // outlive any one owner) the module at path. Never fails: a missing file or missing export gives a
    // module whose CreateInstance answers REGDB_E_CLASSNOTREG with a text saying why.
    static std::shared_ptr<CEngineModule> Load(const QString& path);

    // CoCreateInstance's place: an object of class clsid, returned as its iid interface (AddRef'ed).
    // On failure *object is null and the returned code is negative; LastErrorText then says why.
    HRESULT CreateInstance(const CLSID& clsid, const IID& iid, void** object);

    // The component's text for the last failure on the calling thread; empty when it gave none.
    QString LastErrorText() const;

    // Takes ownership of a string handed out by the component: converts it and frees the original.
    QString TakeString(char* text) const;

    const QString& Path() const { return path; }
    bool IsLoaded() const { return create != nullptr; }
    // Why the module could not be used (which file, and what went wrong); empty when it loaded.
    const QString& LoadError() const { return loadError; }

private:
    explicit CEngineModule(const QString& path);

    QString path;
    QString loadError; // why the module could not be used; empty when it loaded
    std::unique_ptr<QLibrary> library;
    NrxCreateInstanceFn create = nullptr;
    NrxFreeStringFn freeString = nullptr;
    NrxGetLastErrorTextFn lastErrorText = nullptr;
};
