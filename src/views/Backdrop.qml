// The blurred picture of the main window's background that glass panels show
// through; the window sets it once, panels read it.
pragma Singleton
import QtQuick

QtObject {
    // A texture provider covering the window from its top-left corner, or
    // null where no window background is blurred (panels then show only tint).
    property Item texture: null
}
