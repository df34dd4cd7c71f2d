// Where the overlay of one screen draws the saved window of each entry, and what its badges say.
#include "overlaybox.h"

#include "entrytext.h"
#include "model/entrydisplayname.h"

#include <algorithm>
#include <cmath>

namespace {

bool isUsable(const QRectF &rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height()) && rect.width() != 0 && rect.height() != 0;
}

} // namespace

QSizeF OverlayBox::drawnSize() const
{
    return { std::max(frame.width(), minimumWidth), std::max(frame.height(), minimumHeight) };
}

QVariantMap OverlayBox::toVariant() const
{
    const QSizeF drawn = drawnSize();
    return { { QStringLiteral("id"), id.toString(QUuid::WithoutBraces) }, { QStringLiteral("symbol"), symbol },
        { QStringLiteral("name"), name }, { QStringLiteral("detail"), detail.value_or(QString()) },
        { QStringLiteral("x"), frame.x() }, { QStringLiteral("y"), frame.y() },
        { QStringLiteral("width"), drawn.width() }, { QStringLiteral("height"), drawn.height() },
        { QStringLiteral("sizeText"), sizeText }, { QStringLiteral("coordText"), coordText } };
}

QList<OverlayBox> overlayBoxes(const QList<EntryData> &entries, const QRectF &screenRect)
{
    QList<OverlayBox> boxes;
    for (const EntryData &entry : entries) {
        // A negative size spans the other way, as the other platform's rectangles do.
        const QRectF frame = QRectF(entry.frameX, entry.frameY, entry.width, entry.height).normalized();
        if (!isUsable(frame) || !frame.intersects(screenRect))
            continue;
        OverlayBox box;
        box.id = entry.id;
        box.symbol = EntryText::symbol(entry.type());
        box.name = EntryDisplayName::of(entry, EntryDisplayName::AppName::asIdentified).toUpper();
        box.detail = EntryText::detail(entry);
        box.frame = QRectF(entry.frameX - screenRect.x(), entry.frameY - screenRect.y(), entry.width, entry.height);
        box.sizeText
            = EntryText::wholeNumber(entry.width) + QStringLiteral(" \u00D7 ") + EntryText::wholeNumber(entry.height);
        box.coordText = QStringLiteral("COORD x:") + EntryText::wholeNumber(entry.frameX) + QStringLiteral(" y:")
            + EntryText::wholeNumber(entry.frameY);
        boxes.append(box);
    }
    return boxes;
}
