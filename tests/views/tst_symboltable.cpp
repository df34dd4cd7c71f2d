// Every symbol name the views and the stored workspaces use maps to a glyph
// that the Material Icons font really has.
#include "symboltable.h"

#include <QFile>
#include <QRawFont>
#include <QTest>

namespace {

// Every symbol name Corvalint's screens, status menu and overlay draw.
const QStringList usedSymbols { "briefcase.fill", "play.fill", "star", "star.fill", "trash", "camera.viewfinder",
    "square.grid.2x2.fill", "gearshape.fill", "timer", "square.dashed", "curlybraces", "paintpalette.fill",
    "doc.text.fill", "person.fill", "gamecontroller.fill", "video.fill", "camera.fill", "slider.horizontal.3",
    "music.note", "book.fill", "terminal.fill", "app.badge.fill", "globe", "doc.fill", "folder.fill", "eye", "pencil",
    "xmark.circle", "arrow.triangle.2.circlepath", "list.bullet.rectangle.portrait", "exclamationmark.triangle.fill",
    "checkmark.circle.fill", "shield.checkered", "shield.slash.fill", "square.and.arrow.up", "square.and.arrow.down" };

} // namespace

class SymbolTableTest : public QObject
{
    Q_OBJECT

private slots:
    void coversEverySymbolInUse()
    {
        for (const QString &name : usedSymbols) {
            QVERIFY2(SymbolTable::contains(name), qPrintable(name));
            QCOMPARE(SymbolTable::glyph(name).size(), 1);
        }
    }

    void everyGlyphExistsInTheFont()
    {
        QVERIFY2(QFile::exists(SymbolTable::fontFile()), "fonts-material-design-icons-iconfont is not installed");
        const QRawFont font(SymbolTable::fontFile(), 24);
        QVERIFY(font.isValid());
        QCOMPARE(font.familyName(), SymbolTable::fontFamily());
        for (const QString &name : SymbolTable::names())
            QVERIFY2(font.supportsCharacter(SymbolTable::glyph(name).at(0)), qPrintable(name));
    }

    void distinctSymbolsOfOneScreenLookDistinct()
    {
        // The eight choices of the creation sheet must be told apart.
        QSet<QString> glyphs;
        for (const char *name : { "briefcase.fill", "curlybraces", "paintpalette.fill", "gamecontroller.fill",
                 "camera.fill", "music.note", "book.fill", "terminal.fill" })
            glyphs.insert(SymbolTable::glyph(QString::fromLatin1(name)));
        QCOMPARE(glyphs.size(), 8);
        QVERIFY(SymbolTable::glyph("star") != SymbolTable::glyph("star.fill"));
    }

    void unknownNamesDrawNothing()
    {
        QVERIFY(SymbolTable::glyph(QStringLiteral("no.such.symbol")).isEmpty());
        QVERIFY(SymbolTable::glyph(QString()).isEmpty());
        QVERIFY(SymbolTable::glyph(QStringLiteral("Briefcase.fill")).isEmpty());
        QVERIFY(!SymbolTable::contains(QStringLiteral("briefcase")));
    }
};

QTEST_MAIN(SymbolTableTest)
#include "tst_symboltable.moc"
