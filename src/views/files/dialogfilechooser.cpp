// Qt's own file dialog, for desktops where no file chooser portal answers.
#include "dialogfilechooser.h"

#include <QDir>
#include <QFileDialog>

void DialogFileChooser::choose(const FileRequest &request, Done done)
{
    auto *dialog = new QFileDialog(nullptr, request.title, request.folder);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setNameFilter(request.filterLabel);
    if (request.mode == FileRequest::Mode::Save) {
        // Save mode asks before an existing file is replaced and keeps a typed
        // name when the user changes folder.
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(request.defaultSuffix);
        dialog->selectFile(QDir(request.folder).filePath(request.suggestedName));
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    // Exactly one answer, whichever way the dialog ends.
    auto answered = std::make_shared<bool>(false);
    connect(dialog, &QFileDialog::fileSelected, dialog, [done, answered](const QString &path) {
        *answered = true;
        done(path);
    });
    connect(dialog, &QFileDialog::finished, dialog, [done, answered](int) {
        if (!*answered)
            done(QString());
    });
    dialog->open();
}
