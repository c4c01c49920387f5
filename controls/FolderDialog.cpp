#include "controls/FolderDialog.h"

#include <QDir>
#include <QFileDialog>

namespace {
CFolderDialog::Hook& CurrentHook() {
    static CFolderDialog::Hook hook;
    return hook;
}
} // namespace

CFolderDialog::CFolderDialog(QWidget* parent, const QString& initialFolder)
    : initialFolder(initialFolder), parent(parent) {}

CFolderDialog::Hook CFolderDialog::SetHook(Hook hook) {
    Hook previous = std::move(CurrentHook());
    CurrentHook() = std::move(hook);
    return previous;
}

int CFolderDialog::DoModal() {
    QWidget* owner = parent ? parent->window() : nullptr;
    QUrl chosen;
    if (CurrentHook()) {
        chosen = CurrentHook()(owner, initialFolder);
    } else {
        // Only local folders are offered; a remote place can still come back from some desktops' choosers.
        chosen = QFileDialog::getExistingDirectoryUrl(owner, QString(), QUrl::fromLocalFile(initialFolder),
                                                      QFileDialog::ShowDirsOnly, {QStringLiteral("file")});
    }
    if (chosen.isEmpty()) return Cancelled;
    if (!chosen.isLocalFile() || chosen.toLocalFile().isEmpty()) return NoFileSystemPath;
    chosenFolder = QDir::toNativeSeparators(chosen.toLocalFile());
    return Chosen;
}
