// Why a backup file was refused, as data: the settings page words it in
// German, the command line in English.
#pragma once

#include "model/jsonfieldreader.h"

#include <QString>

struct BackupProblem {
    enum class Code {
        none,
        emptyFile,
        /// `number` is the largest size read, in MiB.
        fileTooLarge,
        notUtf8,
        nestedTooDeeply,
        /// `number` is the byte offset of the first error.
        notJson,
        notAnObject,
        fileNotFound,
        notARegularFile,
        unreadable,
        /// `number` is the version the file names.
        unknownVersion,
        /// `number` is the most workspaces a file may hold.
        tooManyWorkspaces,
        /// `number` is the most entries a file may hold.
        tooManyEntries,
        workspaceNotAnObject,
        entryNotAnObject,
        /// A member of the envelope, a workspace or an entry: see `field`.
        badField,
        /// `firstWorkspace` and `firstEntry` say where the id came first.
        duplicateId,
    };

    Code code = Code::none;
    qint64 number = 0;
    /// The workspace concerned, counted from 1; 0 for the file's envelope.
    qsizetype workspace = 0;
    /// The entry of that workspace concerned, counted from 1; 0 for the workspace itself.
    qsizetype entry = 0;
    qsizetype firstWorkspace = 0;
    qsizetype firstEntry = 0;
    JsonFieldProblem field;

    bool operator==(const BackupProblem &) const = default;

    /// "Workspace 1, Eintrag 2: Feld „frameX“ fehlt", as the settings page shows it.
    QString germanText() const;
    /// "workspace 1, entry 2: field \"frameX\" is missing", for the command line.
    QString englishText() const;
};
