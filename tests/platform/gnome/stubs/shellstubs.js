// Stand-ins for the GNOME Shell and Mutter modules Corvalint's extension uses, and the checks both of its forms
// must pass with them: it loads, exports its interface on the session bus when enabled and nothing before, answers
// GetDesktop from Mutter's windows, validates Place's arguments, closes with delete(), builds the top-bar menu
// and takes everything back when disabled. Loaded as a legacy `imports` module (by both drivers).

/* exported makeStubs, exercise */

function makeStubs() {
    const log = [];
    class Window {
        constructor(id, props) {
            Object.assign(this, {id, minimized: false, max: 0, full: false, ws: 0, sticky: false}, props);
        }

        get_id() { return this.id; }
        get_pid() { return 4242; }
        get_title() { return `Window ${this.id}`; }
        get_wm_class() { return 'TestApp'; }
        get_wm_class_instance() { return 'testapp'; }
        get_gtk_application_id() { return null; }
        get_sandboxed_app_id() { return null; }
        get_client_type() { return 0; }
        get_frame_rect() { return this.frame; }
        // Where Mutter last put it: a Wayland window's move shows only after the client answers.
        get_monitor() { return this.monitor; }
        is_fullscreen() { return this.full; }
        get_maximized() { return this.max; }
        get_window_type() { return 0; }
        is_skip_taskbar() { return false; }
        get_transient_for() { return null; }
        is_on_all_workspaces() { return this.sticky; }
        get_workspace() { return {index: () => this.ws}; }
        is_override_redirect() { return false; }
        can_close() { return true; }
        unmake_fullscreen() { this.full = false; log.push(['unmake_fullscreen', this.id]); }
        unmaximize() { this.max = 0; log.push(['unmaximize', this.id]); }
        unminimize() { this.minimized = false; }
        stick() { this.sticky = true; }
        unstick() { this.sticky = false; }
        change_workspace_by_index(index, append) { this.ws = index; log.push(['workspace', this.id, index, append]); }
        move_resize_frame(userOp, x, y, width, height) {
            this.frame = {x, y, width, height};
            log.push(['move_resize_frame', this.id, userOp, x, y, width, height]);
        }
        move_to_monitor(monitor) { log.push(['move_to_monitor', this.id, monitor]); }
        maximize(flags) { this.max = flags; }
        make_fullscreen() { this.full = true; }
        minimize() { this.minimized = true; }
        activate(time) { log.push(['activate', this.id, time]); }
        delete(time) { log.push(['delete', this.id, time]); }
        connect() { return 1; }
        disconnect() {}
    }
    const windows = [
        new Window(11, {frame: {x: 10, y: 20, width: 300, height: 200}, monitor: 0}),
        new Window(4294967297, {frame: {x: 2000, y: 30, width: 400, height: 300}, monitor: 1, max: 3}),
    ];
    const exported = {objects: [], names: [], signals: [], watches: []};
    const Gio = {
        DBus: {session: {name: 'session bus'}},
        BusNameOwnerFlags: {NONE: 0},
        BusNameWatcherFlags: {NONE: 0},
        bus_watch_name_on_connection(bus, name, flags, appeared, vanished) {
            exported.watches.push({name, vanished});
            return exported.watches.length;
        },
        bus_unwatch_name(id) { exported.watches[id - 1] = null; },
        DBusExportedObject: {
            wrapJSObject(xml, impl) {
                return {
                    xml, impl,
                    export(bus, path) { exported.objects.push({bus, path, xml, impl}); },
                    unexport() { exported.objects.pop(); },
                    emit_signal(name, variant) { exported.signals.push([name, variant.values]); },
                };
            },
        },
        bus_own_name_on_connection(bus, name) { exported.names.push({bus, name}); return 7; },
        bus_unown_name(id) { exported.names = exported.names.filter(() => id !== 7); },
    };
    const GLib = {Variant: class { constructor(type, values) { this.type = type; this.values = values; } }};
    const Meta = {
        MaximizeFlags: {HORIZONTAL: 1, VERTICAL: 2, BOTH: 3},
        WindowClientType: {WAYLAND: 0, X11: 1},
        WindowType: {NORMAL: 0, DIALOG: 3, MODAL_DIALOG: 4, UTILITY: 6},
        Rectangle: class { constructor(r) { Object.assign(this, r); } },
    };
    const Shell = {WindowTracker: {get_default: () => ({get_window_app: () => ({get_id: () => 'testapp.desktop'})})}};
    const panel = {areas: {}, statusArea: {}, addToStatusArea(role, button) { this.areas[role] = button; this.statusArea[role] = button; }};
    const Main = {layoutManager: {primaryIndex: 0}, panel};
    class Item {
        constructor(text, params) {
            this.text = text;
            this.params = params || {};
            this.children = [];
            this.sensitive = true;
            this.handlers = {};
            this.label = {text};
        }

        insert_child_at_index(child, index) { this.children.splice(index, 0, child); }
        setSensitive(sensitive) { this.sensitive = sensitive; }
        connect(signal, handler) { this.handlers[signal] = handler; }
    }
    const PopupMenu = {PopupMenuItem: Item, PopupSeparatorMenuItem: class extends Item { constructor() { super('—'); } }};
    const PanelMenu = {
        Button: class {
            constructor(alignment, name) {
                this.name = name;
                this.children = [];
                this.visible = true;
                this.destroyed = false;
                this.menu = {items: [], removeAll() { this.items = []; }, addMenuItem(item) { this.items.push(item); },
                    _getMenuItems() { return this.items; }};
            }

            add_child(child) { this.children.push(child); }
            destroy() { this.destroyed = true; }
        },
    };
    const St = {Icon: class { constructor(p) { Object.assign(this, p); } }, Label: class { constructor(p) { Object.assign(this, p); } }};
    const global = {
        get_window_actors: () => windows.map(meta_window => ({meta_window})),
        get_current_time: () => 1234,
        display: {
            signals: [],
            connect(name) { this.signals.push(name); return this.signals.length; },
            disconnect(id) { this.signals[id - 1] = null; },
            sort_windows_by_stacking: list => list,
            get_n_monitors: () => 2,
            get_monitor_geometry: i => (i === 0 ? {x: 0, y: 0, width: 1920, height: 1080}
                : {x: 1920, y: 0, width: 1280, height: 1024}),
            get_monitor_scale: () => 1,
            get_focus_window: () => windows[0],
            get_monitor_index_for_rect: r => (r.x >= 1920 ? 1 : 0),
        },
        workspace_manager: {get_n_workspaces: () => 2, get_active_workspace_index: () => 0},
    };
    const Clutter = {};
    return {log, windows, exported, panel, Gio, GLib, Meta, Shell, Main, PanelMenu, PopupMenu, St, Clutter, global};
}

function _assert(condition, what) {
    if (!condition)
        throw new Error(`check failed: ${what}`);
}

/// SetMenu as the bus calls it: the caller's name on the invocation, the answer or the error back through it.
function _setMenu(service, json, sender) {
    const invocation = {
        get_sender: () => sender,
        return_value() { this.answer = 'ok'; },
        return_dbus_error(name, message) { this.answer = `${name}: ${message}`; },
    };
    service.SetMenuAsync([json], invocation);
    return invocation.answer;
}

function _throws(call, text, what) {
    try {
        call();
    } catch (e) {
        _assert(String(e.message).includes(text), `${what}: "${e.message}" names ${text}`);
        return;
    }
    throw new Error(`check failed: ${what} was accepted`);
}

/// Runs the checks on an extension object (what init() returns, or the default export's instance).
function exercise(extension, stubs, form) {
    const {exported, log, windows, panel} = stubs;
    _assert(exported.objects.length === 0 && exported.names.length === 0, `${form}: nothing exported before enable()`);
    extension.enable();
    _assert(exported.objects.length === 1, `${form}: one object exported`);
    const object = exported.objects[0];
    _assert(object.bus === stubs.Gio.DBus.session, `${form}: on the session bus only`);
    _assert(object.path === '/org/corvalint/Shell', `${form}: the object path`);
    _assert(object.xml.includes('<interface name="org.corvalint.Shell">'), `${form}: the interface's name`);
    _assert(exported.names.length === 1 && exported.names[0].name === 'org.corvalint.Shell', `${form}: the bus name`);
    const service = object.impl;
    _assert(service.Version === 1, `${form}: the interface version`);

    const desktop = JSON.parse(service.GetDesktop());
    _assert(desktop.monitors.length === 2 && desktop.monitors[1].width === 1280, `${form}: the monitors`);
    _assert(desktop.windows.length === 2, `${form}: the windows`);
    _assert(desktop.windows[1].id === '4294967297', `${form}: ids as text, all digits kept`);
    _assert(desktop.windows[1].maximized === 3 && desktop.windows[0].focused, `${form}: states`);
    _assert(desktop.windows[0].shellAppId === 'testapp.desktop', `${form}: the shell's application`);

    _assert(service.Place(4294967297, 100, 120, 640, 480, 0, -2) === true, `${form}: Place finds the window`);
    _assert(windows[1].max === 0, `${form}: out of the maximised state before moving`);
    const move = log.find(entry => entry[0] === 'move_resize_frame');
    _assert(move && move[2] === false && move[3] === 100 && move[6] === 480, `${form}: move_resize_frame(false, …)`);
    _assert(service.Place(11, 1950, 10, 500, 400, 4, 1) === true, `${form}: full screen on the second monitor`);
    _assert(windows[0].full && windows[0].ws === 1, `${form}: state and workspace`);
    _assert(log.some(entry => entry[0] === 'move_to_monitor' && entry[2] === 1), `${form}: onto the frame's monitor`);
    _assert(service.Place(99, 0, 0, 10, 10, 0, -2) === false, `${form}: a missing window is not found`);
    _throws(() => service.Place(11, 0, 0, 10, 10, 16, -2), 'state', `${form}: unknown state bits`);
    _throws(() => service.Place(11, 0, 0, -1, 10, 0, -2), 'width', `${form}: negative width`);
    _throws(() => service.Place(11, 0, 0, 10, 10, 0, 99), 'workspace', `${form}: workspace out of range`);
    _throws(() => service.Place(0, 0, 0, 10, 10, 0, -2), 'window id', `${form}: window id 0`);
    _throws(() => service.Place(11, 1e9, 0, 10, 10, 0, -2), 'x', `${form}: absurd position`);
    _throws(() => service.Place(11, 0.5, 0, 10, 10, 0, -2), 'x', `${form}: fractions`);
    _throws(() => service.Close([1, -2]), 'window id', `${form}: a bad id among those to close`);

    _assert(service.Close([11, 4294967297, 5]) === 2, `${form}: Close asks the windows that exist`);
    _assert(log.filter(entry => entry[0] === 'delete').length === 2, `${form}: through delete()`);
    _assert(service.Activate(11) === true && service.Activate(5) === false, `${form}: Activate`);

    _assert(_setMenu(service, '{"items": [', ':1.5').includes('InvalidArgs'), `${form}: a garbled menu`);
    _assert(_setMenu(service, '[]', ':1.5').includes('invalid argument: menu'), `${form}: a menu that is no object`);
    _assert(exported.watches.length === 0, `${form}: nobody watched for a refused menu`);
    const answer = _setMenu(service, JSON.stringify({items: [
        {kind: 'header', title: 'Corvalint Workspaces'},
        {kind: 'separator'},
        {kind: 'workspace', title: 'Arbeit (⚠️ Erfordert 3 Monitore)', glyph: 'w', action: 'workspace:1'},
        {kind: 'bogus', title: 'skipped'},
        {kind: 'open', title: 'Corvalint öffnen', action: 'open'},
        {kind: 'quit', title: 'Beenden', action: 'quit'},
    ]}), ':1.5');
    _assert(answer === 'ok', `${form}: the menu taken`);
    _assert(exported.watches.length === 1 && exported.watches[0].name === ':1.5', `${form}: its sender watched`);
    const button = panel.areas.corvalint;
    _assert(button && button.visible, `${form}: the top-bar button`);
    const items = button.menu.items;
    _assert(items.length === 5, `${form}: five menu items (unknown kinds skipped)`);
    _assert(items[0].text === 'Corvalint Workspaces' && items[0].params.reactive === false, `${form}: header`);
    _assert(items[2].children.length === 1 && items[2].children[0].text === 'w', `${form}: the workspace's symbol`);
    const described = JSON.parse(service.GetMenu());
    _assert(described.shown && described.items[4] === 'Beenden', `${form}: GetMenu reads the menu back`);
    items[3].handlers.activate();
    _assert(exported.signals.some(s => s[0] === 'MenuActivated' && s[1][0] === 'open'), `${form}: MenuActivated`);
    _setMenu(service, '{"items": [{"kind": "quit", "title": "Beenden"}]}', ':1.5');
    _assert(button.visible, `${form}: the button back`);
    exported.watches[0].vanished();
    _assert(!button.visible, `${form}: the sender left the bus, the button with it`);

    extension.disable();
    _assert(exported.objects.length === 0, `${form}: unexported when disabled`);
    _assert(button.destroyed, `${form}: the button goes with it`);
    return true;
}
