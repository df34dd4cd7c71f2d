// Maps the system symbol names that workspaces and views use to glyphs of the
// Material Icons font, in one table.
#include "symboltable.h"

#include <QHash>

namespace {

// Symbol name -> Material Icons code point. The right-hand comment is the
// icon's ligature name in the font, so the choice can be checked by eye.
const QHash<QString, char16_t> &table()
{
    static const QHash<QString, char16_t> symbols {
        { QStringLiteral("briefcase.fill"), 0xe8f9 }, // work
        { QStringLiteral("play.fill"), 0xe037 }, // play_arrow
        { QStringLiteral("star"), 0xe83a }, // star_border
        { QStringLiteral("star.fill"), 0xe838 }, // star
        { QStringLiteral("trash"), 0xe92e }, // delete_outline
        { QStringLiteral("camera.viewfinder"), 0xe3b4 }, // center_focus_strong
        { QStringLiteral("square.grid.2x2.fill"), 0xe9b0 }, // grid_view
        { QStringLiteral("gearshape.fill"), 0xe8b8 }, // settings
        { QStringLiteral("timer"), 0xe425 }, // timer
        { QStringLiteral("square.dashed"), 0xe3c2 }, // crop_free
        { QStringLiteral("curlybraces"), 0xead3 }, // data_object
        { QStringLiteral("paintpalette.fill"), 0xe40a }, // palette
        { QStringLiteral("doc.text.fill"), 0xe873 }, // description
        { QStringLiteral("person.fill"), 0xe7fd }, // person
        { QStringLiteral("gamecontroller.fill"), 0xea28 }, // sports_esports
        { QStringLiteral("video.fill"), 0xe04b }, // videocam
        { QStringLiteral("camera.fill"), 0xe412 }, // photo_camera
        { QStringLiteral("slider.horizontal.3"), 0xe429 }, // tune
        { QStringLiteral("music.note"), 0xe405 }, // music_note
        { QStringLiteral("book.fill"), 0xe865 }, // book
        { QStringLiteral("terminal.fill"), 0xeb8e }, // terminal
        { QStringLiteral("app.badge.fill"), 0xe5c3 }, // apps
        { QStringLiteral("globe"), 0xe80b }, // public
        { QStringLiteral("doc.fill"), 0xe24d }, // insert_drive_file
        { QStringLiteral("folder.fill"), 0xe2c7 }, // folder
        { QStringLiteral("eye"), 0xe8f4 }, // visibility
        { QStringLiteral("pencil"), 0xe3c9 }, // edit
        { QStringLiteral("xmark.circle"), 0xe888 }, // highlight_off
        { QStringLiteral("arrow.triangle.2.circlepath"), 0xe627 }, // sync
        { QStringLiteral("list.bullet.rectangle.portrait"), 0xe0ee }, // list_alt
        { QStringLiteral("exclamationmark.triangle.fill"), 0xe002 }, // warning
        { QStringLiteral("checkmark.circle.fill"), 0xe86c }, // check_circle
        { QStringLiteral("shield.checkered"), 0xe8e8 }, // verified_user
        { QStringLiteral("shield.slash.fill"), 0xe9d4 }, // remove_moderator
        { QStringLiteral("square.and.arrow.up"), 0xe6b8 }, // ios_share
        { QStringLiteral("square.and.arrow.down"), 0xe171 }, // save_alt
        { QStringLiteral("arrow.uturn.backward"), 0xe166 }, // undo
    };
    return symbols;
}

} // namespace

QString SymbolTable::fontFamily()
{
    return QStringLiteral("Material Icons");
}

QString SymbolTable::fontFile()
{
    return QStringLiteral("/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf");
}

QString SymbolTable::glyph(const QString &symbolName)
{
    const auto it = table().constFind(symbolName);
    if (it == table().constEnd())
        return {};
    return QString(QChar(*it));
}

QString SymbolTable::spokenName(const QString &symbolName)
{
    // The symbols a user chooses for a workspace; the others are named by what they sit on.
    static const QHash<QString, QString> names {
        { QStringLiteral("briefcase.fill"), QStringLiteral("Aktenkoffer") },
        { QStringLiteral("curlybraces"), QStringLiteral("Geschweifte Klammern") },
        { QStringLiteral("paintpalette.fill"), QStringLiteral("Farbpalette") },
        { QStringLiteral("gamecontroller.fill"), QStringLiteral("Gamecontroller") },
        { QStringLiteral("camera.fill"), QStringLiteral("Kamera") },
        { QStringLiteral("music.note"), QStringLiteral("Musiknote") },
        { QStringLiteral("book.fill"), QStringLiteral("Buch") },
        { QStringLiteral("terminal.fill"), QStringLiteral("Terminal") },
    };
    return names.value(symbolName, symbolName);
}

bool SymbolTable::contains(const QString &symbolName)
{
    return table().contains(symbolName);
}

QStringList SymbolTable::names()
{
    return table().keys();
}
