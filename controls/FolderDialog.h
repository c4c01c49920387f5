// CFolderDialog: the desktop's own folder chooser, for the Open Folder command.
#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>

class CFolderDialog {
public:
    enum Result { Chosen = 1, NoFileSystemPath = -1, Cancelled = 2 };

    CFolderDialog(QWidget* parent, const QString& initialFolder = {});

    // Shows the chooser modally over the parent and keeps the chosen folder. Chosen: chosenFolder holds it;
    // NoFileSystemPath: the user picked something that is not a local folder; Cancelled: nothing chosen.
    int DoModal();

    // Answers the chooser instead of the desktop (tests): gets the owner and start folder and returns the
    // chosen place, an empty URL for Cancel. An empty hook restores the real chooser. Returns the previous one.
    using Hook = std::function<QUrl(QWidget* owner, const QString& startFolder)>;
    static Hook SetHook(Hook hook);

    QString initialFolder;
    QString chosenFolder;

private:
    QPointer<QWidget> parent;
};
