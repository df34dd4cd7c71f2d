// What one command produced: its exit code, its output and error text, and
// data for the part of the command that runs on after the store was asked.
#pragma once

#include <QJsonObject>
#include <QString>

struct CommandResult {
    int exitCode = 0;
    /// Printed to standard output as it is (lines end with '\n').
    QString out;
    /// Printed to standard error as it is.
    QString err;
    /// Results for the caller (the entries to launch, say); never printed.
    QJsonObject data;

    /// One error line and the exit code 1.
    static CommandResult failure(const QString &line, int exitCode = 1);
    /// One line of output and the exit code 0.
    static CommandResult success(const QString &line = {});

    QJsonObject toJson() const;
    static CommandResult fromJson(const QJsonObject &object);
};
