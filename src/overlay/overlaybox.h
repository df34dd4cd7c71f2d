// Where the overlay of one screen draws the saved window of each entry, and what its badges say.
#pragma once

#include "model/entrydata.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QUuid>
#include <QVariantMap>
#include <optional>

struct OverlayBox {
    /// A small window still gets a box the user can see and read.
    static constexpr double minimumWidth = 160;
    static constexpr double minimumHeight = 90;

    QUuid id;
    QString symbol;
    /// The display name in upper case ("SAFARI", "WEBSEITE").
    QString name;
    /// The raw identifier, address or path; nothing when the entry has none.
    std::optional<QString> detail;
    /// The saved frame relative to the screen's top-left corner, unscaled.
    QRectF frame;
    /// "1280 × 800": the saved size, even when the box is drawn larger.
    QString sizeText;
    /// "COORD x:-1440 y:25": the saved position in the global display space.
    QString coordText;

    /// The size the box is drawn at: the saved size, at least 160 × 90.
    QSizeF drawnSize() const;
    /// The box as QML reads it (keys: id, symbol, name, detail, x, y, width,
    /// height, sizeText, coordText; detail is an empty string when absent).
    QVariantMap toVariant() const;
};

/// One box per entry whose saved frame overlaps `screenRect` (a frame of zero
/// width or height overlaps nothing), in the order of `entries`, placed
/// relative to the screen's top-left corner.
QList<OverlayBox> overlayBoxes(const QList<EntryData> &entries, const QRectF &screenRect);
