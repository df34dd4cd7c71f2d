// What an entry row says about an entry: title, detail, monitor, position and size,
// as pure functions, with QML faces that take the fields a binding depends on.
#pragma once

#include "model/entrydata.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>
#include <optional>

class EntryPresentation : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    /// See EntryDisplayName::capitalized.
    static QString capitalized(const QString &text);

    /// The entry's display name with an application's name capitalised
    /// (EntryDisplayName::of).
    static QString entryTitle(const EntryData &entry);
    /// The raw identifier, address or path; empty when absent.
    static QString entryDetail(const EntryData &entry);

    /// "Bildschirm N" for the first screen (counted from 1, in the current
    /// order) whose identifier is `monitorID`; "Unbekannter Bildschirm" when
    /// no screen has it; "Bildschirm: -" without an identifier.
    static QString monitorLabel(
        const std::optional<QString> &monitorID, const QList<std::optional<QString>> &screenMonitorIDs);

    /// "Pos: (-12, 30)" and "Dim: 800x600": fractions dropped toward zero.
    static QString positionText(double x, double y);
    static QString sizeText(double width, double height);

    // QML faces: optional fields arrive as null or a string, the screens'
    // identifiers as a list in which an empty string stands for none.
    Q_INVOKABLE static QString title(const QString &typeRawValue, const QVariant &appBundleIdentifier,
        const QVariant &websiteURL, const QVariant &filePath);
    Q_INVOKABLE static QString detail(const QString &typeRawValue, const QVariant &appBundleIdentifier,
        const QVariant &websiteURL, const QVariant &filePath);
    Q_INVOKABLE static QString symbol(const QString &typeRawValue);
    /// The kind's stored text after the unknown-reads-as-application rule.
    Q_INVOKABLE static QString kind(const QString &typeRawValue);
    Q_INVOKABLE static QString monitor(const QVariant &monitorID, const QStringList &screenMonitorIDs);
    Q_INVOKABLE static QString position(double x, double y) { return positionText(x, y); }
    Q_INVOKABLE static QString size(double width, double height) { return sizeText(width, height); }
};
