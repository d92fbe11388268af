// Runs the compositor core's tests under GJS, the engine GNOME Shell runs the extension in.
//   gjs -m run-core-tests.js core.js FakeSide.js CoreTest.js
import GLib from 'gi://GLib';
import System from 'system';

const text = System.programArgs.map(path => new TextDecoder().decode(GLib.file_get_contents(path)[1]));
const {failures} = new Function(`${text.join('\n')}\nreturn runCoreTests();`)();
failures.forEach(failure => print(`FAILED: ${failure}`));
print(failures.length ? `${failures.length} failed` : 'all passed');
System.exit(failures.length ? 1 : 0);
