// A key combination that reaches this program wherever the focus is: what each desktop offers for it.
#pragma once

#include "keycombination.h"

#include <QObject>

class GlobalHotkey : public QObject
{
    Q_OBJECT

public:
    enum class Result {
        /// The desktop will report the combination.
        registered,
        /// Another program holds it already.
        taken,
        /// The desktop cannot take this combination (a key its keyboard lacks).
        unknownKey,
        /// The desktop offers no global shortcuts to us, or refused.
        failed,
    };

    using QObject::QObject;
    ~GlobalHotkey() override = default;

    /// Registers `combination` in place of the one before; the old one is
    /// released whatever the result.
    virtual Result setCombination(const KeyCombination &combination) = 0;
    /// Releases the combination.
    virtual void clear() = 0;

signals:
    /// The combination was pressed.
    void activated();
};
