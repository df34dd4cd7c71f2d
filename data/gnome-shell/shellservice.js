// Corvalint's window service inside GNOME Shell: lists windows and monitors, places, activates and politely
// closes windows, and says when a window appears, over the session bus as org.corvalint.Shell.
//
// This file is shared by both forms of the extension (Shell 43/44 loads it through `imports`, 45 and later as
// an ES module, with an export line added at build time). It imports nothing: the entry file hands it the
// Shell's and GNOME's modules, so it holds no statement that only one of the two forms accepts.

/* exported ShellService */

// Newer than this, Corvalint speaks another interface: it checks the number before it asks anything.
var SERVICE_VERSION = 1;

var SERVICE_XML = `<node>
  <interface name="org.corvalint.Shell">
    <method name="GetDesktop">
      <arg type="s" direction="out" name="json"/>
    </method>
    <method name="Place">
      <arg type="t" direction="in" name="window"/>
      <arg type="i" direction="in" name="x"/>
      <arg type="i" direction="in" name="y"/>
      <arg type="i" direction="in" name="width"/>
      <arg type="i" direction="in" name="height"/>
      <arg type="u" direction="in" name="state"/>
      <arg type="i" direction="in" name="workspace"/>
      <arg type="b" direction="out" name="found"/>
    </method>
    <method name="Activate">
      <arg type="t" direction="in" name="window"/>
      <arg type="b" direction="out" name="found"/>
    </method>
    <method name="Close">
      <arg type="at" direction="in" name="windows"/>
      <arg type="u" direction="out" name="asked"/>
    </method>
    <method name="SetMenu">
      <arg type="s" direction="in" name="json"/>
    </method>
    <method name="GetMenu">
      <arg type="s" direction="out" name="json"/>
    </method>
    <signal name="WindowAppeared">
      <arg type="t" name="window"/>
    </signal>
    <signal name="WindowGone">
      <arg type="t" name="window"/>
    </signal>
    <signal name="MenuActivated">
      <arg type="s" name="action"/>
    </signal>
    <property name="Version" type="u" access="read"/>
  </interface>
</node>`;

// Place()'s state bits; any other bit is refused.
var STATE_MAXIMIZED_HORIZONTALLY = 1;
var STATE_MAXIMIZED_VERTICALLY = 2;
var STATE_FULL_SCREEN = 4;
var STATE_MINIMIZED = 8;
var STATE_ALL = 15;
// Place()'s workspace: keep the window's, or show it on every workspace.
var WORKSPACE_KEEP = -2;
var WORKSPACE_ALL = -1;
var MAX_WORKSPACE = 35;
// No monitor arrangement reaches this far; anything beyond is a caller's mistake.
var COORDINATE_LIMIT = 100000;
var MAX_CLOSE = 1000;
var MAX_MENU_BYTES = 65536;

function _invalid(what) {
    // A JavaScript error becomes a D-Bus error reply to the caller (GJS answers with its message).
    throw new Error(`invalid argument: ${what}`);
}

function _checkWindowId(id) {
    if (!Number.isSafeInteger(id) || id <= 0)
        _invalid('window id');
}

function _checkInt(value, low, high, what) {
    if (!Number.isInteger(value) || value < low || value > high)
        _invalid(what);
}

var ShellService = class {
    /**
     * @param {object} shell - { Gio, GLib, Meta, Shell, global, Main, version, menu }: the modules of the form
     *   that loaded us; `menu` builds the top-bar button (may be null).
     */
    constructor(shell) {
        this._s = shell;
        this._dbus = null;
        this._nameId = 0;
        this._signals = [];
        this._windowSignals = new Map();
        this._menu = null;
        this._menuWatch = 0;
        this._menuOwner = null;
    }

    enable() {
        const {Gio} = this._s;
        this._dbus = Gio.DBusExportedObject.wrapJSObject(SERVICE_XML, this);
        // Only the session bus: the user's own programs, nobody else.
        this._dbus.export(Gio.DBus.session, '/org/corvalint/Shell');
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, 'org.corvalint.Shell',
            Gio.BusNameOwnerFlags.NONE, null, null);
        const display = this._s.global.display;
        this._signals.push([display, display.connect('window-created', (d, w) => this._watch(w))]);
    }

    disable() {
        for (const [object, id] of this._signals)
            object.disconnect(id);
        this._signals = [];
        for (const [window, ids] of this._windowSignals) {
            for (const id of ids)
                window.disconnect(id);
        }
        this._windowSignals.clear();
        if (this._menuWatch) {
            this._s.Gio.bus_unwatch_name(this._menuWatch);
            this._menuWatch = 0;
            this._menuOwner = null;
        }
        if (this._menu) {
            this._menu.destroy();
            this._menu = null;
        }
        if (this._nameId) {
            this._s.Gio.bus_unown_name(this._nameId);
            this._nameId = 0;
        }
        if (this._dbus) {
            this._dbus.unexport();
            this._dbus = null;
        }
    }

    get Version() {
        return SERVICE_VERSION;
    }

    // --- Reading ----------------------------------------------------------------------------------------

    _windows() {
        const windows = this._s.global.get_window_actors()
            .map(actor => actor.meta_window)
            .filter(w => w && !w.is_override_redirect());
        return this._s.global.display.sort_windows_by_stacking(windows);
    }

    _find(id) {
        return this._windows().find(w => w.get_id() === id) || null;
    }

    _describe(w, focus) {
        const {Meta, Shell} = this._s;
        const frame = w.get_frame_rect();
        const app = Shell.WindowTracker.get_default().get_window_app(w);
        const workspace = w.get_workspace();
        const transient = w.get_transient_for();
        return {
            // A string: JSON numbers lose digits beyond 2^53.
            id: String(w.get_id()),
            pid: w.get_pid(),
            title: w.get_title() || '',
            wmClass: w.get_wm_class() || '',
            wmClassInstance: w.get_wm_class_instance() || '',
            gtkApplicationId: w.get_gtk_application_id() || '',
            sandboxedAppId: w.get_sandboxed_app_id() || '',
            shellAppId: app ? app.get_id() || '' : '',
            x11: w.get_client_type() === Meta.WindowClientType.X11,
            frame: [frame.x, frame.y, frame.width, frame.height],
            monitor: w.get_monitor(),
            fullScreen: w.is_fullscreen(),
            maximized: w.get_maximized(),
            minimized: w.minimized,
            type: w.get_window_type(),
            normal: w.get_window_type() === Meta.WindowType.NORMAL,
            dialog: w.get_window_type() === Meta.WindowType.DIALOG ||
                w.get_window_type() === Meta.WindowType.MODAL_DIALOG,
            utility: w.get_window_type() === Meta.WindowType.UTILITY,
            skipTaskbar: w.is_skip_taskbar(),
            transient: transient !== null,
            allWorkspaces: w.is_on_all_workspaces(),
            workspace: workspace ? workspace.index() : -1,
            focused: w === focus,
        };
    }

    GetDesktop() {
        const {global, Main} = this._s;
        const display = global.display;
        const monitors = [];
        for (let i = 0; i < display.get_n_monitors(); i++) {
            const g = display.get_monitor_geometry(i);
            monitors.push({index: i, x: g.x, y: g.y, width: g.width, height: g.height,
                scale: display.get_monitor_scale(i)});
        }
        const focus = display.get_focus_window();
        const manager = global.workspace_manager;
        return JSON.stringify({
            version: SERVICE_VERSION,
            shell: this._s.version,
            primary: Main.layoutManager.primaryIndex,
            monitors,
            workspaces: manager.get_n_workspaces(),
            activeWorkspace: manager.get_active_workspace_index(),
            windows: this._windows().map(w => this._describe(w, focus)),
        });
    }

    // --- Acting -----------------------------------------------------------------------------------------

    Place(id, x, y, width, height, state, workspace) {
        _checkWindowId(id);
        _checkInt(x, -COORDINATE_LIMIT, COORDINATE_LIMIT, 'x');
        _checkInt(y, -COORDINATE_LIMIT, COORDINATE_LIMIT, 'y');
        // 0 x 0 keeps the frame and changes the state alone.
        const keepFrame = width === 0 && height === 0;
        if (!keepFrame) {
            _checkInt(width, 1, COORDINATE_LIMIT, 'width');
            _checkInt(height, 1, COORDINATE_LIMIT, 'height');
        }
        _checkInt(state, 0, STATE_ALL, 'state');
        _checkInt(workspace, WORKSPACE_KEEP, MAX_WORKSPACE, 'workspace');
        const w = this._find(id);
        if (!w)
            return false;
        const {Meta, global} = this._s;

        // Out of every state first: Mutter moves neither a maximised nor a full-screen window.
        if (w.is_fullscreen())
            w.unmake_fullscreen();
        if (w.get_maximized())
            w.unmaximize(Meta.MaximizeFlags.BOTH);
        if (w.minimized && !(state & STATE_MINIMIZED))
            w.unminimize();

        if (workspace === WORKSPACE_ALL) {
            w.stick();
        } else if (workspace >= 0) {
            if (w.is_on_all_workspaces())
                w.unstick();
            const manager = global.workspace_manager;
            // One workspace more than there are is made (GNOME adds them as they fill); none further.
            if (workspace <= manager.get_n_workspaces())
                w.change_workspace_by_index(workspace, workspace === manager.get_n_workspaces());
        }

        if (!keepFrame) {
            // user_op false: with true, Mutter 43 ignores the position of Xwayland windows.
            w.move_resize_frame(false, x, y, width, height);
            // The state belongs to the monitor the frame is on.
            const rect = new this._s.Rectangle({x, y, width, height});
            const monitor = global.display.get_monitor_index_for_rect(rect);
            if (monitor >= 0 && monitor !== w.get_monitor() && (state & (STATE_FULL_SCREEN | 3)))
                w.move_to_monitor(monitor);
        }

        let flags = 0;
        if (state & STATE_MAXIMIZED_HORIZONTALLY)
            flags |= Meta.MaximizeFlags.HORIZONTAL;
        if (state & STATE_MAXIMIZED_VERTICALLY)
            flags |= Meta.MaximizeFlags.VERTICAL;
        if (flags)
            w.maximize(flags);
        if (state & STATE_FULL_SCREEN)
            w.make_fullscreen();
        if (state & STATE_MINIMIZED)
            w.minimize();
        return true;
    }

    Activate(id) {
        _checkWindowId(id);
        const w = this._find(id);
        if (!w)
            return false;
        w.activate(this._s.global.get_current_time());
        return true;
    }

    Close(ids) {
        if (!Array.isArray(ids) || ids.length > MAX_CLOSE)
            _invalid('windows');
        ids.forEach(_checkWindowId);
        const time = this._s.global.get_current_time();
        let asked = 0;
        for (const w of this._windows()) {
            // delete() is the close button: WM_DELETE_WINDOW or xdg_toplevel.close, never a kill.
            if (ids.includes(w.get_id()) && w.can_close()) {
                w.delete(time);
                asked++;
            }
        }
        return asked;
    }

    // Asynchronous in GJS's sense only to learn the caller: its menu goes away when it leaves the bus.
    SetMenuAsync([json], invocation) {
        try {
            this._setMenu(json, invocation.get_sender());
            invocation.return_value(null);
        } catch (e) {
            invocation.return_dbus_error('org.corvalint.Shell.Error.InvalidArgs', e.message);
        }
    }

    _setMenu(json, owner) {
        if (typeof json !== 'string' || json.length > MAX_MENU_BYTES)
            _invalid('menu');
        let menu;
        try {
            menu = JSON.parse(json);
        } catch (e) {
            _invalid('menu is no JSON');
        }
        if (menu === null || typeof menu !== 'object' || Array.isArray(menu))
            _invalid('menu');
        if (!this._s.menu)
            return;
        if (!this._menu)
            this._menu = this._s.menu(action => this._menuActivated(action));
        this._menu.show(menu);
        this._watchMenuOwner(owner);
    }

    _watchMenuOwner(owner) {
        const {Gio} = this._s;
        if (!owner || owner === this._menuOwner)
            return;
        if (this._menuWatch)
            Gio.bus_unwatch_name(this._menuWatch);
        this._menuOwner = owner;
        // A Corvalint that ended without taking its menu back (a crash) leaves no button behind.
        this._menuWatch = Gio.bus_watch_name_on_connection(Gio.DBus.session, owner, Gio.BusNameWatcherFlags.NONE,
            null, () => {
                if (this._menu)
                    this._menu.show({items: []});
            });
    }

    /// What the top-bar button shows now, read back from the Shell's own menu (for Corvalint's tests and log).
    GetMenu() {
        return JSON.stringify(this._menu ? this._menu.describe() : {shown: false, items: []});
    }

    _menuActivated(action) {
        if (this._dbus)
            this._dbus.emit_signal('MenuActivated', new this._s.GLib.Variant('(s)', [String(action)]));
    }

    // --- Telling ----------------------------------------------------------------------------------------

    _watch(w) {
        if (!w || w.is_override_redirect())
            return;
        const {GLib} = this._s;
        const id = w.get_id();
        // Said once the window is shown: by then Mutter has placed it, and a placement is not undone.
        // Once: a window shown again (unminimised, back from another workspace) has not appeared.
        const shown = w.connect('shown', () => {
            w.disconnect(shown);
            this._windowSignals.set(w, (this._windowSignals.get(w) || []).filter(signal => signal !== shown));
            if (this._dbus)
                this._dbus.emit_signal('WindowAppeared', new GLib.Variant('(t)', [id]));
        });
        const gone = w.connect('unmanaged', () => {
            for (const signal of this._windowSignals.get(w) || [])
                w.disconnect(signal);
            this._windowSignals.delete(w);
            if (this._dbus)
                this._dbus.emit_signal('WindowGone', new GLib.Variant('(t)', [id]));
        });
        this._windowSignals.set(w, [shown, gone]);
    }
};
