// The legacy half of extensionforms.js, run by gjs in legacy mode as GNOME Shell 43 and 44 load extensions: the
// shared files through `imports` (which refuses ES module syntax), extension.js as a legacy script whose
// `imports.gi`, `imports.ui` and `imports.misc` are the stand-ins.
const System = imports.system;
const {GLib} = imports.gi;
const [dir, stubsDir] = ARGV;
imports.searchPath.unshift(stubsDir);
const {makeStubs, exercise} = imports.shellstubs;

try {
    imports.searchPath.unshift(dir);
    const me = {imports: {shellservice: imports.shellservice, topbarmenu: imports.topbarmenu}, path: dir};
    const stubs = makeStubs();
    const fakeImports = {
        gi: {Clutter: stubs.Clutter, Gio: stubs.Gio, GLib: stubs.GLib, Meta: stubs.Meta, Shell: stubs.Shell, St: stubs.St},
        ui: {main: stubs.Main, panelMenu: stubs.PanelMenu, popupMenu: stubs.PopupMenu},
        misc: {config: {PACKAGE_VERSION: '43.9'}, extensionUtils: {getCurrentExtension: () => me}},
    };
    const text = new TextDecoder().decode(GLib.file_get_contents(`${dir}/extension.js`)[1]);
    // eslint-disable-next-line no-new-func
    const load = new Function('imports', 'global', `${text}\nreturn init;`);
    const init = load(fakeImports, stubs.global);
    exercise(init(), stubs, 'legacy');
    print('legacy form: loaded and wired');
} catch (e) {
    printerr(`FAIL: ${e.message}\n${e.stack}`);
    System.exit(1);
}
