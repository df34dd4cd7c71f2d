// Corvalint's GNOME Shell extension, the form GNOME Shell 45 and later load: an ES module. The work is done by
// shellservice.js (shared with the `imports` form for 43 and 44); this file only hands it the Shell's modules.
import Clutter from 'gi://Clutter';
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import Mtk from 'gi://Mtk';
import Shell from 'gi://Shell';
import St from 'gi://St';

import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import * as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';
import * as PopupMenu from 'resource:///org/gnome/shell/ui/popupMenu.js';
import * as Config from 'resource:///org/gnome/shell/misc/config.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

import {ShellService} from './shellservice.js';
import {TopBarMenu} from './topbarmenu.js';

export default class CorvalintExtension extends Extension {
    enable() {
        const modules = {Clutter, Gio, GLib, Meta, Shell, St, Main, PanelMenu, PopupMenu};
        this._service = new ShellService({
            Gio, GLib, Meta, Shell, Main, global,
            // Meta.Rectangle is gone from Mutter 46 on; Mtk's is the same box.
            Rectangle: Mtk.Rectangle,
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
