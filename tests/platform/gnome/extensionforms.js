// Loads both forms of Corvalint's GNOME Shell extension under gjs with stand-ins for the Shell's modules and runs
// the same checks on each (stubs/shellstubs.js). Run as an ES module: `gjs -m extensionforms.js FORMS GJS STUBS`.
// The module form is imported as GNOME Shell 45+ would (its Shell imports pointed at stand-ins); the legacy form
// is loaded through `imports` in a second gjs in legacy mode (legacycheck.js), as Shell 43 would.
import GLib from 'gi://GLib';
import Gio from 'gi://Gio';
import System from 'system';

const [forms, gjs, stubsDir] = ARGV;
const uuid = 'corvalint@corvalint.org';
imports.searchPath.unshift(stubsDir);
const {makeStubs, exercise} = imports.shellstubs;

function read(path) {
    return new TextDecoder().decode(GLib.file_get_contents(path)[1]);
}

function write(path, text) {
    GLib.file_set_contents(path, new TextEncoder().encode(text));
}

async function checkModules() {
    const source = `${forms}/modules/${uuid}`;
    const metadata = JSON.parse(read(`${source}/metadata.json`));
    if (!metadata['shell-version'].includes('45') || metadata['shell-version'].includes('43'))
        throw new Error(`the module form's shell versions: ${metadata['shell-version']}`);
    const stubs = makeStubs();
    globalThis.__corvalintStubs = stubs;
    globalThis.global = stubs.global;
    // A copy whose Shell imports name stand-ins; the shared files are the built ones, unchanged.
    const dir = GLib.dir_make_tmp('corvalint-forms-XXXXXX');
    const stub = (name, body) => write(`${dir}/stub-${name}.js`, body);
    for (const name of ['Clutter', 'Gio', 'GLib', 'Meta', 'Shell', 'St'])
        stub(name, `export default globalThis.__corvalintStubs.${name};\n`);
    stub('Mtk', 'export default {Rectangle: globalThis.__corvalintStubs.Meta.Rectangle};\n');
    stub('main', 'export const layoutManager = globalThis.__corvalintStubs.Main.layoutManager;\n' +
        'export const panel = globalThis.__corvalintStubs.Main.panel;\n');
    stub('panelMenu', 'export const Button = globalThis.__corvalintStubs.PanelMenu.Button;\n');
    stub('popupMenu', 'export const PopupMenuItem = globalThis.__corvalintStubs.PopupMenu.PopupMenuItem;\n' +
        'export const PopupSeparatorMenuItem = globalThis.__corvalintStubs.PopupMenu.PopupSeparatorMenuItem;\n');
    stub('config', "export const PACKAGE_VERSION = '47.2';\n");
    stub('extension', 'export class Extension { constructor(metadata) { this.metadata = metadata; } }\n');
    let text = read(`${source}/extension.js`);
    text = text.replace(/from 'gi:\/\/(\w+)'/g, "from './stub-$1.js'");
    text = text.replace(/from 'resource:\/\/\/org\/gnome\/shell\/(?:ui|misc|extensions)\/(\w+)\.js'/g,
        "from './stub-$1.js'");
    if (/from '(gi|resource):/.test(text))
        throw new Error('the module form imports something the stand-ins do not cover');
    write(`${dir}/extension.js`, text);
    for (const name of ['shellservice.js', 'topbarmenu.js'])
        write(`${dir}/${name}`, read(`${source}/${name}`));
    const module = await import(`file://${dir}/extension.js`);
    const extension = new module.default({uuid, path: dir});
    exercise(extension, stubs, 'modules');
    print('module form: loaded and wired');
}

function checkLegacy() {
    const metadata = JSON.parse(read(`${forms}/legacy/${uuid}/metadata.json`));
    if (!metadata['shell-version'].includes('43'))
        throw new Error(`the legacy form's shell versions: ${metadata['shell-version']}`);
    const launcher = new Gio.SubprocessLauncher({flags: Gio.SubprocessFlags.STDOUT_PIPE | Gio.SubprocessFlags.STDERR_MERGE});
    const script = GLib.build_filenamev([stubsDir, '..', 'legacycheck.js']);
    const process = launcher.spawnv([gjs, script, `${forms}/legacy/${uuid}`, stubsDir]);
    const [, output] = process.communicate_utf8(null, null);
    print(output.trim());
    if (!process.get_successful())
        throw new Error('the legacy form failed its checks');
}

try {
    await checkModules();
    checkLegacy();
} catch (e) {
    printerr(`FAIL: ${e.message}\n${e.stack}`);
    System.exit(1);
}
