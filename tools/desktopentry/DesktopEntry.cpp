// Build-time writer of the desktop entry template: asks the engine module which extensions it opens and
// fills the entry's MIME type list from them, so file managers offer exactly what the player can play.
//   nrx-desktopentry <engine module> <entry template> <output>
// The template's @NRX_MIME_TYPES@ is replaced; every other placeholder is left for install time.
#include "app/DesktopMimeTypes.h"
#include "engine/EngineModule.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <cstdio>

namespace {
int Fail(const QString& text) {
    std::fprintf(stderr, "nrx-desktopentry: %s\n", qPrintable(text));
    return 1;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) return Fail(QStringLiteral("usage: nrx-desktopentry <engine module> <template> <output>"));

    const auto module = CEngineModule::Load(args.at(1));
    if (!module->IsLoaded()) return Fail(module->LoadError());
    IVideoDeviceProperty* property = nullptr;
    if (module->CreateInstance(CLSID_VideoDeviceProperty, IID_IVideoDeviceProperty,
                               reinterpret_cast<void**>(&property)) < 0 || !property)
        return Fail(QStringLiteral("the engine's property object could not be created: %1").arg(module->LastErrorText()));
    char* text = nullptr;
    const HRESULT hr = property->GetSupportedExtensions(&text);
    const QString filter = module->TakeString(text);
    property->Release();
    if (hr < 0) return Fail(QStringLiteral("the engine gave no extension list: %1").arg(module->LastErrorText()));

    const QStringList types = VideoMimeTypesForExtensions(ExtensionsOfFilter(filter));
    if (types.isEmpty()) return Fail(QStringLiteral("no video MIME type matches the engine's extensions"));

    QFile in(args.at(2));
    if (!in.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("cannot read %1").arg(args.at(2)));
    QString entry = QString::fromUtf8(in.readAll());
    entry.replace(QStringLiteral("@NRX_MIME_TYPES@"), types.join(u';') + u';');
    QSaveFile out(args.at(3));
    if (!out.open(QIODevice::WriteOnly) || out.write(entry.toUtf8()) < 0 || !out.commit())
        return Fail(QStringLiteral("cannot write %1").arg(args.at(3)));
    return 0;
}
