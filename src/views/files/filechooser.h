// Asking the user for a file to write or to read: the desktop's own dialog
// where there is one, Qt's where there is not.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

struct FileRequest {
    enum class Mode { Save, Open };
    Mode mode = Mode::Open;
    QString title;
    /// The folder the dialog starts in and, for saving, the name it suggests.
    QString folder;
    QString suggestedName;
    /// One filter: its label ("JSON (*.workspace *.json)") and its glob patterns.
    QString filterLabel;
    QStringList patterns;
    /// Added to a typed name without any suffix when saving.
    QString defaultSuffix;
};

class FileChooser : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(const QString &localPath)>;

    using QObject::QObject;
    /// Shows the dialog without blocking and calls `done` once: with the
    /// chosen local path, or with an empty one when the user cancelled. A
    /// dialog for saving has already asked before an existing file is replaced.
    virtual void choose(const FileRequest &request, Done done) = 0;
};
