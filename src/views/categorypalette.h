// Category colours, texts and chip symbols for QML, with the fallbacks the
// views use for stored texts that name no category.
#pragma once

#include "model/workspacecategory.h"

#include <QColor>
#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

class CategoryPalette : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(Categories)
    QML_SINGLETON
    Q_PROPERTY(QStringList texts READ texts CONSTANT)

public:
    using QObject::QObject;

    /// The eight category texts in picker order.
    static QStringList texts();
    /// The category a card or header paints for a stored text: the matching
    /// case, else `custom`.
    static WorkspaceCategory displayCategory(const QString &storedText);
    /// The two gradient colours of the category shown for `storedText`.
    Q_INVOKABLE static QColor gradientStart(const QString &storedText);
    Q_INVOKABLE static QColor gradientEnd(const QString &storedText);
    /// The symbol on the creation sheet's chip of the category `text`.
    Q_INVOKABLE static QString chipSymbol(const QString &text);
};
