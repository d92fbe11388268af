// The GNOME extension's link to one program of Nivu's, on stand-ins for the bus and the main
// loop: what it asks again after a refused report or a failed fetch.
//   gjs -m BridgeClientTest.js path/to/bridge.js
import GLib from 'gi://GLib';
import System from 'system';

const [, bytes] = GLib.file_get_contents(System.programArgs[0]);
const {BridgeClient} = new Function(`${new TextDecoder().decode(bytes)}\nreturn {BridgeClient};`)();

// Calls wait here until the case answers them; timers wait until the case fires them.
function standIns() {
    const calls = [], timers = new Map();
    let nextTimer = 1;
    const refusal = {matches: () => false, message: 'refused'};
    const lib = {
        Gio: {
            Cancellable: class {
                cancel() { this.cancelled = true; }
                is_cancelled() { return Boolean(this.cancelled); }
            },
            DBus: {session: {call(name, path, iface, method, args, type, flags, timeout, cancellable, callback) {
                calls.push({method, answer: reply => callback({call_finish: () => {
                    if (!reply)
                        throw refusal;
                    return {deep_unpack: () => [reply]};
                }}, null)});
            }}},
            DBusCallFlags: {NO_AUTO_START: 1},
            IOErrorEnum: {CANCELLED: 19},
        },
        GLib: {
            PRIORITY_DEFAULT: 0,
            SOURCE_REMOVE: false,
            Variant: class {},
            VariantType: class {},
            timeout_add(priority, ms, callback) {
                timers.set(nextTimer, callback);
                return nextTimer++;
            },
            source_remove: id => timers.delete(id),
        },
    };
    const bridge = {lib, snapshot: () => [{report: 'hello'}], guard: (what, work) => work(), apply() {}, forget() {}};
    const take = method => {
        const index = calls.findIndex(call => call.method === method);
        if (index < 0)
            throw new Error(`no ${method} call waits; waiting: ${calls.map(c => c.method)}`);
        return calls.splice(index, 1)[0];
    };
    const fireTimers = () => {
        const due = [...timers.values()];
        timers.clear();
        due.forEach(callback => callback());
    };
    return {bridge, calls, take, fireTimers};
}

// Nivu refuses a report while it starts, and a fetch fails meanwhile, in either order: after
// the delay both the reports and the fetch come again.
const cases = [
    ['a refused report, then a failed fetch', ['report', 'nextCommands']],
    ['a failed fetch, then a refused report', ['nextCommands', 'report']],
];
let failed = 0;
for (const [name, order] of cases) {
    const {bridge, calls, take, fireTimers} = standIns();
    const client = new BridgeClient(bridge, 'org.nivu.Nivu');
    client.start();
    for (const method of order)
        take(method).answer(null);
    calls.splice(0); // the rest of the first reports, answered never
    fireTimers();
    const asked = calls.map(call => call.method);
    const ok = asked.includes('report') && asked.includes('nextCommands');
    print(`${ok ? 'ok' : 'FAILED'}: ${name}: asked again ${JSON.stringify(asked)}`);
    failed += ok ? 0 : 1;
    client.stop();
}
System.exit(failed ? 1 : 0);
