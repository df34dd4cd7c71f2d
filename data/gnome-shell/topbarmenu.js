// The top-bar button of Corvalint's extension: the tray menu's content where GNOME shows no tray. Corvalint sends
// the items over D-Bus (SetMenu); a chosen item goes back as its action (MenuActivated). Shared by both forms of
// the extension, as shellservice.js is: it imports nothing and gets the Shell's modules handed in.

/* exported TopBarMenu */

// The kinds of item Corvalint sends; anything else is skipped.
var MENU_KINDS = ['header', 'separator', 'workspace', 'note', 'open', 'quit'];
var MAX_MENU_ITEMS = 200;
var MAX_TEXT = 500;

function _text(value) {
    return typeof value === 'string' ? value.slice(0, MAX_TEXT) : '';
}

var TopBarMenu = class {
    /**
     * @param {object} modules - { St, PanelMenu, PopupMenu, Main }
     * @param {function(string)} activated - called with an item's action when the user chooses it
     */
    constructor(modules, activated) {
        this._m = modules;
        this._activated = activated;
        this._button = new modules.PanelMenu.Button(0.0, 'Corvalint', false);
        this._button.add_child(new modules.St.Icon({
            icon_name: 'view-grid-symbolic',
            style_class: 'system-status-icon',
        }));
        modules.Main.panel.addToStatusArea('corvalint', this._button);
    }

    /// Replaces the menu's items with `menu.items`; an empty list takes the button away until items come again.
    show(menu) {
        const {PopupMenu, St} = this._m;
        const items = Array.isArray(menu.items) ? menu.items.slice(0, MAX_MENU_ITEMS) : [];
        this._button.visible = items.length > 0;
        const popup = this._button.menu;
        popup.removeAll();
        for (const item of items) {
            if (item === null || typeof item !== 'object' || !MENU_KINDS.includes(item.kind))
                continue;
            if (item.kind === 'separator') {
                popup.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
                continue;
            }
            const active = item.kind !== 'header' && item.kind !== 'note';
            const entry = new PopupMenu.PopupMenuItem(_text(item.title), {reactive: active, can_focus: active});
            const glyph = _text(item.glyph);
            if (glyph) {
                // The workspace's symbol, from the icon font Corvalint's own views use.
                entry.insert_child_at_index(new St.Label({
                    text: glyph,
                    style: 'font-family: "Material Icons"; padding-right: 6px;',
                }), 1);
            }
            if (active) {
                entry.setSensitive(item.enabled !== false);
                const action = _text(item.action);
                entry.connect('activate', () => this._activated(action));
            }
            popup.addMenuItem(entry);
        }
    }

    /// Whether the button is in the top bar and visible, and the texts of its items as the menu holds them.
    describe() {
        const inPanel = this._m.Main.panel.statusArea.corvalint === this._button;
        const items = this._button.menu._getMenuItems().map(item => (item.label ? item.label.text : ''));
        return {shown: inPanel && this._button.visible, items};
    }

    destroy() {
        this._button.destroy();
        this._button = null;
    }
};
