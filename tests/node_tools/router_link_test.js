// vorn-host's --router against a router on a loopback port: npm's videohub-server, which nobody
// here wrote, or a small stand-in of our own for what that package does not do (it never sends
// the status block that confirms a route, and never refuses one).
//
//   node router_link_test.js SCENARIO VORN_HOST MODULE SESSION [NODE_MODULES]
//
// SCENARIO: videohub-server | confirms | refuses | silent | unconfirmed | out-of-range
//           | never-accepts | floods | drops-and-returns | tally | idle
// (tally: with --web, after the session's take, the stand-in reports a route that another
// controller made, and vorn-host's state shows it as it comes, named by the router's labels;
// idle: with --web and nothing happening, vorn-host's main thread does not wake; Linux only)
// VORN_HOST may be a command of several words separated by ';' (an emulator and the program).
'use strict';
const fs = require('fs');
const path = require('path');
const { spawn } = require('child_process');
const freePort = require('./free_port');
const { standIn } = require('./videohub_stand_in');
const { vornHost } = require('./vorn_host');
const { request, waitForPage, publishedState, fromThePage, waitMs } = require('./web_client');

const [scenario, vornHostCommand, moduleFile, session, nodeModules] = process.argv.slice(2);
const launcher = vornHost(vornHostCommand);

// How long vorn-host waits for the router's word. Where the router answers, a long wait costs
// nothing and holds on a loaded machine; where it stays silent (videohub-server never confirms a
// route), the test waits it out. Scaled by
// the suite's VORN_TIME_SCALE (sanitizers run slower).
const timeScale = Number(process.env.VORN_TIME_SCALE || 1);
const waitsOut = ['silent', 'unconfirmed', 'videohub-server'].includes(scenario);
const routerWaitMs = (scenario === 'never-accepts' ? 1000 : waitsOut ? 3000 : 20000) * timeScale;

function spawnHost(args) {
  return launcher.spawn(args);
}

// vorn-host on the session with device 12 linked to the router; `ended` resolves with its exit
// status, and `out` is what it has said so far.
function startHost(port, extra, sessionFile = session) {
  const args = [moduleFile, ...(sessionFile ? [sessionFile] : []), '--router-timeout-ms', String(routerWaitMs),
                '--router', `12=videohub://127.0.0.1:${port}`, ...extra];
  const child = spawnHost(args);
  const run = { child, out: '' };
  child.stdout.on('data', (d) => { run.out += d; });
  child.stderr.on('data', (d) => { run.out += d; });
  run.ended = new Promise((resolve) => child.on('close', (code) => resolve(code)));
  return run;
}

async function runHost(port, extra, sessionFile = session) {
  const run = startHost(port, extra, sessionFile);
  return { code: await run.ended, out: run.out };
}

function check(condition, message, result) {
  if (condition) return;
  console.error(`FAILED: ${message}\n--- vorn-host said:\n${result.out}`);
  process.exit(1);
}

const sameRoutes = (a, b) => JSON.stringify(a) === JSON.stringify(b);
const delay = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// vorn-host taking actions typed on standard input, so that it runs on between them.
function typedHost(port) {
  const run = startHost(port, [], null);
  run.waitFor = async (pattern) => {
    const deadline = Date.now() + 30000 * timeScale;
    while (!pattern.test(run.out) && Date.now() < deadline) await delay(20);
    check(pattern.test(run.out), `vorn-host never printed ${pattern}`, run);
  };
  return run;
}

// A listener whose queue of connections is full: the kernel drops further attempts, so that a
// connect waits until vorn-host's own limit ends it.
async function neverAccepts() {
  const holder = spawn('python3', ['-c', [
    'import socket, time',
    "s = socket.socket(); s.bind(('127.0.0.1', 0)); s.listen(0)",
    'port = s.getsockname()[1]; held = []',
    'for _ in range(3):',
    '    c = socket.socket(); c.setblocking(False); held.append(c)',
    "    try: c.connect(('127.0.0.1', port))",
    '    except BlockingIOError: pass',
    'time.sleep(0.3); print(port, flush=True); time.sleep(600)'].join('\n')]);
  const port = await new Promise((resolve) => holder.stdout.once('data', (d) => resolve(Number(String(d).trim()))));
  const started = Date.now();
  const result = await runHost(port, []);
  const took = Date.now() - started;
  holder.kill();
  check(result.code === 2, `exit ${result.code}`, result);
  check(/cannot connect to 127\.0\.0\.1:\d+ in time/.test(result.out), 'no connect time-out named', result);
  check(took < routerWaitMs + 10000 * timeScale, `the connect took ${took} ms, against a limit of ${routerWaitMs}`, result);
  console.log(`never-accepts: passed; vorn-host gave up after ${took} ms (limit ${routerWaitMs})\n${result.out}`);
}

// A router that answers a route with 64 MiB and no blank line is cut off at the reader's limit.
async function floods(port, routes) {
  let cutOff;
  const closed = new Promise((resolve) => { cutOff = resolve; });
  await standIn(port, 'floods', 16, routes, { closed: () => cutOff() });
  const run = typedHost(port);
  run.child.stdin.write('request RouterDeviceNo=12\nevent 1 Sources value=7\nevent 1 Destinations value=3\n');
  await run.waitFor(/TP 'device=12' '1' 'Destinations'/);
  const before = launcher.peakKiB(run.child.pid);
  run.child.stdin.write('event 1 500 value=1\n');
  await closed;
  await run.waitFor(/router-reply-too-long/);
  const after = launcher.peakKiB(run.child.pid);
  run.child.stdin.end();
  const code = await run.ended;
  check(code === 1 && /BREACH router-reply-too-long/.test(run.out), `exit ${code}, without the breach`, run);
  if (before !== null) {
    check(after - before < 16 * 1024, `vorn-host grew by ${after - before} KiB while flooded`, run);
  }
  const grown = before === null ? 'not measured under an emulator' : `${after - before} KiB`;
  console.log(`floods: passed; vorn-host's peak memory grew by ${grown}\n${run.out}`);
}

// A router that hangs up on the first route and takes the next connection: the loss is a
// breach, the next take goes through, and no route goes out twice.
async function dropsAndReturns(port, routes) {
  await standIn(port, 'drops-once', 16, routes);
  const run = typedHost(port);
  run.child.stdin.end(['request RouterDeviceNo=12', 'event 1 Sources value=7', 'event 1 Destinations value=3',
                       'event 1 500 value=1', 'event 1 Sources value=5', 'event 1 Destinations value=2',
                       'event 1 500 value=1', 'show', ''].join('\n'));
  const code = await run.ended;
  check(code === 1 && /BREACH router-connection-lost/.test(run.out), `exit ${code}, without the breach`, run);
  check(sameRoutes(routes, [[2, 6], [1, 4]]), `the router saw ${JSON.stringify(routes)}`, run);
  check(/device 12 {2}destination 2 {2}<- source 5/.test(run.out), 'the second take was not confirmed', run);
  console.log(`drops-and-returns: passed; routes on the wire ${JSON.stringify(routes)}\n${run.out}`);
}

// The take of the session is in vorn-host's state as the page sees it; then another controller's
// route, reported by the router of its own accord, must reach the state too.
async function tally(port, routes) {
  const events = {};
  await standIn(port, 'tally', 16, routes, events);
  const webPort = await freePort();
  const host = startHost(port, ['--web', `127.0.0.1:${webPort}`]);
  const token = await waitForPage(webPort, waitMs);
  const stateOf = () => publishedState(webPort, token, waitMs);
  const shows = (state, destination, source) =>
    state.crosspoints.some((c) => c.device === 12 && c.destination === destination && c.source === source);
  check(shows(await stateOf(), 3, 7), 'the take is not in the state', host);
  events.otherController(4, 9);
  const deadline = Date.now() + waitMs;
  let state = await stateOf();
  while (!shows(state, 5, 10) && Date.now() < deadline) {
    await delay(100);
    state = await stateOf();
  }
  check(shows(state, 5, 10), `the other controller's route never reached the state: ${JSON.stringify(state)}`, host);
  const router = state.routers.find((r) => r.device === 12);
  check(router && router.destinationLabels['5'] === 'MON 5' && router.sourceLabels['10'] === 'CAM 10',
        `the state's labels: ${JSON.stringify(router)}`, host);
  await request(webPort, 'POST', '/quit', { headers: fromThePage(webPort, token) });
  const code = await host.ended;
  check(code === 0, `exit ${code}`, host);
  console.log(`tally: passed; routes on the wire ${JSON.stringify(routes)}`);
}

// The times the main thread of a process has gone to sleep of its own accord: each wait it ends
// counts one, however busy the machine.
function mainThreadWaits(pid) {
  return Number(/voluntary_ctxt_switches:\s+(\d+)/.exec(fs.readFileSync(`/proc/${pid}/task/${pid}/status`, 'utf8'))[1]);
}

// Serving the page with a router linked, and nothing happening: vorn-host's main thread waits on
// both and wakes for nothing, where it once looked at the router five times a second.
async function idle(port, routes) {
  await standIn(port, 'tally', 16, routes);
  const webPort = await freePort();
  const host = startHost(port, ['--web', `127.0.0.1:${webPort}`]);
  const token = await waitForPage(webPort, waitMs);
  await publishedState(webPort, token, waitMs);
  await delay(300);
  const before = mainThreadWaits(host.child.pid);
  await delay(3000);
  const woken = mainThreadWaits(host.child.pid) - before;
  check(woken <= 2, `vorn-host's main thread woke ${woken} times in 3 s with nothing to do`, host);
  await request(webPort, 'POST', '/quit', { headers: fromThePage(webPort, token) });
  const code = await host.ended;
  check(code === 0, `exit ${code}`, host);
  console.log(`idle: passed; the main thread woke ${woken} times in 3 s`);
}

async function main() {
  const port = await freePort();
  const routes = [];
  if (scenario === 'tally') return tally(port, routes);
  if (scenario === 'idle') return idle(port, routes);
  if (scenario === 'never-accepts') return neverAccepts();
  if (scenario === 'floods') return floods(port, routes);
  if (scenario === 'drops-and-returns') return dropsAndReturns(port, routes);
  let server;
  if (scenario === 'videohub-server') {
    const VideohubServer = require(path.join(nodeModules, 'videohub-server'));
    server = new VideohubServer();
    server.on('press', (client, destination, source) => routes.push([destination, source]));
    server.on('error', (e) => { console.error(e); process.exit(1); });
    server.start('127.0.0.1', port);
    await new Promise((resolve) => setTimeout(resolve, 200));
  } else {
    const mode = scenario === 'out-of-range' ? 'confirms' : scenario;
    server = await standIn(port, mode, scenario === 'out-of-range' ? 4 : 16, routes);
  }

  // That package never confirms a route, so here the missing confirmation is only a warning.
  const extra = scenario === 'videohub-server' ? ['--rule', 'route-unconfirmed=warning'] : [];
  const result = await runHost(port, extra);
  const take = [[2, 6]];  // destination 3 and source 7 of the panel, numbered from 0 on the wire
  switch (scenario) {
    case 'videohub-server':
      check(result.code === 0, `exit ${result.code}`, result);
      check(sameRoutes(routes, take), `the server saw ${JSON.stringify(routes)}`, result);
      check(/WARNING route-unconfirmed/.test(result.out), 'no unconfirmed-route warning', result);
      // Its prelude names every port "no label"; every output is fed by input 40 on the wire.
      check(/device 12 {2}destination 10 \(no label\) {2}<- source 41 \(no label\)/.test(result.out),
            'the crosspoints are not named by the labels', result);
      break;
    case 'confirms':
      check(result.code === 0, `exit ${result.code}`, result);
      check(sameRoutes(routes, take), `the router saw ${JSON.stringify(routes)}`, result);
      check(/device 12 {2}destination 3 {2}<- source 7/.test(result.out), 'no reported crosspoint', result);
      break;
    case 'refuses':
      check(result.code === 1 && /BREACH router-nak/.test(result.out), 'no router-nak', result);
      break;
    case 'silent':
      check(result.code === 1 && /BREACH router-no-ack/.test(result.out), 'no router-no-ack', result);
      break;
    case 'unconfirmed':
      check(result.code === 1 && /BREACH route-unconfirmed/.test(result.out), 'no route-unconfirmed', result);
      check(!/device 12 {2}destination 3 {2}<- source 7/.test(result.out), 'an unconfirmed route in the table', result);
      break;
    case 'out-of-range':
      check(result.code === 1 && /BREACH route-out-of-range/.test(result.out), 'no route-out-of-range', result);
      check(routes.length === 0, `the router saw ${JSON.stringify(routes)}`, result);
      break;
    default:
      console.error(`unknown scenario ${scenario}`);
      process.exit(2);
  }
  console.log(`${scenario}: passed; routes on the wire ${JSON.stringify(routes)}\n${result.out}`);
  process.exit(0);
}

main().then(() => process.exit(0)).catch((e) => {
  console.error(e);
  process.exit(1);
});
