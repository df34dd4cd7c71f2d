// Corvalint's GNOME Shell extension, the form GNOME Shell 43 and 44 load: modules through `imports`. The work is
// done by shellservice.js (shared with the ES module form); this file only hands it the Shell's modules.

/* exported init */
const {Clutter, Gio, GLib, Meta, Shell, St} = imports.gi;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;
const Config = imports.misc.config;
const Me = imports.misc.extensionUtils.getCurrentExtension();
const {ShellService} = Me.imports.shellservice;
const {TopBarMenu} = Me.imports.topbarmenu;

class CorvalintExtension {
    enable() {
        const modules = {Clutter, Gio, GLib, Meta, Shell, St, Main, PanelMenu, PopupMenu};
        this._service = new ShellService({
            Gio, GLib, Meta, Shell, Main, global,
            Rectangle: Meta.Rectangle,
            version: Config.PACKAGE_VERSION,
            menu: activated => new TopBarMenu(modules, activated),
        });
        this._service.enable();
    }

    disable() {
        this._service.disable();
        this._service = null;
    }
}

function init() {
    return new CorvalintExtension();
}
