// vorn-host's --router ember://HOST:PORT/PATH against Ember+ providers that nobody here wrote,
// each made here in code with a matrix at 0.0: npm's node-emberplus (EmberServer, which applies
// connects and honours a connection's lock()) and emberplus-connection (EmberServer with an
// onMatrixOperation handler, which answers for its matrix as a router would).
//
//   node ember_link_test.js PROVIDER SCENARIO VORN_HOST MODULE SESSION NODE_MODULES [SCREENSHOT]
//
// PROVIDER: node-emberplus | emberplus-connection
// SCENARIO:
//   confirms       the typical take is confirmed, and the provider's own state shows it
//   locked         the take's target is locked: a router-locked breach, and nothing changes
//   out-of-range   the matrix has 4 sources: the take's source 7 is refused before anything is
//                  sent (router-out-of-range), and the provider sees no connection request
//   labels         the matrix's labels (node 0.1: targets "OUT n", sources "IN n") name the
//                  crosspoints vorn-host shows
//   tally          with --web, after the session's take, a second client of the provider
//                  connects target 4 to source 9 (destination 5 and source 10 of the panel):
//                  vorn-host's state shows it as it comes, named by the labels. With SCREENSHOT,
//                  Debian's chromium keeps a picture of the page showing it.
// What neither provider does is done by a stand-in of our own between vorn-host and
// node-emberplus, which passes every byte both ways until it meets the take:
//   silent         (no stand-in) node-emberplus holds no connection for the take's target, and
//                  answers nothing for it: router-no-ack, within the time limit
//   floods         the take is answered with 64 MiB of broken frames: the link is cut off
//                  (router-reply-too-long), and vorn-host's peak memory grows by under 16 MiB
//   drops-and-returns  the connection is closed when the take comes, unanswered: a breach
//                  (router-connection-lost); the next take connects again and is confirmed,
//                  and the provider sees that take alone
// VORN_HOST may be a command of several words separated by ';' (an emulator and the program).
'use strict';
const net = require('net');
const path = require('path');
const freePort = require('./free_port');
const { flood } = require('./flood');
const { vornHost } = require('./vorn_host');
const { request, waitForPage, publishedState, fromThePage, chromiumPath, waitMs } = require('./web_client');

const [providerName, scenario, vornHostCommand, moduleFile, session, nodeModules, screenshot] = process.argv.slice(2);
const launcher = vornHost(vornHostCommand);
const timeScale = Number(process.env.VORN_TIME_SCALE || 1);
// Where the provider answers, a long wait costs nothing; where it stays silent, the test waits it
// out.
const routerWaitMs = (scenario === 'silent' ? 3000 : 20000) * timeScale;
const kMatrixPath = '0.0';
// The typical take: destination 3 and source 7 of the panel, 2 and 6 on the wire.
const kTarget = 2;
const kSource = 6;
// The second client's route: target 4 from source 9 on the wire.
const kOtherTarget = 4;
const kOtherSource = 9;
// Where the matrix's labels are, and the names they give.
const kLabelsPath = '0.1';
const targetLabel = (wire) => `OUT ${wire + 1}`;
const sourceLabel = (wire) => `IN ${wire + 1}`;

function check(condition, message, result) {
  if (condition) return;
  console.error(`FAILED: ${message}\n--- vorn-host said:\n${result.out}`);
  process.exit(1);
}

// Node 0 "router" holding matrix 0.0 "video": 16 targets, each from source 0 to begin with.
// Each provider gives the sources it holds for a target, what it was asked, and its end.
// With labels, node 0.1 "labels" holds node 1 "targets" and node 2 "sources", a parameter a port.
async function nodeEmberplus(port, size, lockedTarget, labelled, missingTarget) {
  const { EmberServer, EmberServerEvent } = require(path.join(nodeModules, 'node-emberplus'));
  const connections = {};
  for (let target = 0; target < 16; target++) connections[target] = { target, sources: [0] };
  if (missingTarget !== undefined) delete connections[missingTarget];
  const named = (count, name, prefix) =>
    Array.from({ length: count }, (_, i) => ({ identifier: `${prefix}-${i}`, value: name(i) }));
  const matrix = { identifier: 'video', type: 'oneToN', mode: 'linear', targetCount: 16, sourceCount: size,
                   connections };
  const children = [matrix];
  if (labelled) {
    matrix.labels = [{ basePath: kLabelsPath, description: 'primary' }];
    children.push({ identifier: 'labels', children: [
      { identifier: 'targets', number: 1, children: named(16, targetLabel, 't') },
      { identifier: 'sources', number: 2, children: named(size, sourceLabel, 's') }] });
  }
  const tree = EmberServer.createTreeFromJSON([{ identifier: 'router', children }]);
  const server = new EmberServer({ host: '127.0.0.1', port, tree });
  const requests = [];
  server.on(EmberServerEvent.MATRIX_CONNECT, (info) => requests.push(info));
  server.on(EmberServerEvent.MATRIX_CHANGE, (info) => requests.push(info));
  server.on(EmberServerEvent.ERROR, (e) => console.error(`provider error: ${e}`));
  if (lockedTarget !== undefined) server.tree.getElementByPath(kMatrixPath).connections[lockedTarget].lock();
  await server.listen();
  return {
    requests,
    sourcesOf: (target) => (server.tree.getElementByPath(kMatrixPath).connections[target] || {}).sources || [],
    close: () => server.closeAsync(),
  };
}

async function emberplusConnection(port, size, lockedTarget, labelled) {
  const { EmberServer, Model } = require(path.join(nodeModules, 'emberplus-connection'));
  const connections = {};
  for (let target = 0; target < 16; target++) connections[target] = { target, sources: [0] };
  const labels = labelled ? [{ basePath: kLabelsPath, description: 'primary' }] : undefined;
  const matrix = new Model.MatrixImpl('video', undefined, undefined, connections, undefined, Model.MatrixType.OneToN,
                                      Model.MatrixAddressingMode.Linear, 16, size, undefined, undefined, undefined,
                                      undefined, labels);
  const router = new Model.NumberedTreeNodeImpl(0, new Model.EmberNodeImpl('router'));
  const video = new Model.NumberedTreeNodeImpl(0, matrix, undefined, router);
  router.children = { 0: video };
  if (labelled) {
    const labelNode = new Model.NumberedTreeNodeImpl(1, new Model.EmberNodeImpl('labels'), undefined, router);
    const side = (number, identifier, count, name) => {
      const node = new Model.NumberedTreeNodeImpl(number, new Model.EmberNodeImpl(identifier), undefined, labelNode);
      node.children = {};
      for (let i = 0; i < count; i++) {
        const parameter = new Model.ParameterImpl(Model.ParameterType.String, `${identifier}-${i}`, undefined, name(i));
        node.children[i] = new Model.NumberedTreeNodeImpl(i, parameter, undefined, node);
      }
      return node;
    };
    labelNode.children = { 1: side(1, 'targets', 16, targetLabel), 2: side(2, 'sources', size, sourceLabel) };
    router.children[1] = labelNode;
  }
  const server = new EmberServer(port, '127.0.0.1');
  const requests = [];
  // A router's answer: a locked target keeps its sources and says so; any other is connected.
  // The package reports the connection it holds, so its disposition is set there (by the
  // enumeration's value: the package does not export it).
  server.onMatrixOperation = async (node, asked) => {
    for (const connection of Object.values(asked)) {
      requests.push(connection);
      const held = node.contents.connections[connection.target];
      const locked = connection.target === lockedTarget;
      held.disposition = locked ? 'LOCKED' : 'MODIFIED';
      const sources = locked ? held.sources : connection.sources;
      server.updateMatrixConnection(node, { target: connection.target, sources, operation: 'ABSOLUTE' });
    }
  };
  await server.init({ 0: router });
  return {
    requests,
    sourcesOf: (target) => matrix.connections[target].sources || [],
    close: async () => server.discard(),
  };
}

// vorn-host on the session with device 12 linked to the provider; `more` adds arguments, and
// without a session it takes actions typed on its standard input. The result's `ended` resolves
// when it exits; `out` is what it has said so far.
function startHost(port, more = [], sessionFile = session) {
  const child = launcher.spawn([moduleFile, ...(sessionFile ? [sessionFile] : []), '--router-timeout-ms',
                                String(routerWaitMs), '--router', `12=ember://127.0.0.1:${port}/${kMatrixPath}`,
                                ...more]);
  const result = { child, code: null, out: '' };
  child.stdout.on('data', (d) => { result.out += d; });
  child.stderr.on('data', (d) => { result.out += d; });
  result.ended = new Promise((resolve) => child.on('close', (code) => { result.code = code; resolve(result); }));
  return result;
}

function runHost(port) {
  return startHost(port).ended;
}

// A second consumer of the provider, written by the same hands as the provider, connecting one
// target to one source as another controller would.
async function secondClientConnects(port, target, source) {
  if (providerName === 'node-emberplus') {
    const { EmberClient } = require(path.join(nodeModules, 'node-emberplus'));
    const client = new EmberClient({ host: '127.0.0.1', port });
    await client.connectAsync();
    await client.getDirectoryAsync();
    const matrix = await client.getElementByPathAsync(kMatrixPath);
    await client.matrixConnectAsync(matrix, target, [source]);
    await client.disconnectAsync();
    return;
  }
  const { EmberClient } = require(path.join(nodeModules, 'emberplus-connection'));
  const client = new EmberClient('127.0.0.1', port);
  await client.connect();
  await (await client.getDirectory(client.tree)).response;
  const matrix = await client.getElementByPath(kMatrixPath);
  // The provider answers a consumer that has asked for the matrix itself.
  await (await client.getDirectory(matrix)).response;
  await (await client.matrixConnect(matrix, target, [source])).response;
  await client.disconnect();
}

// The typical take is made by the session; then the second client's route must reach the state,
// named by the router's labels, while vorn-host serves the page.
async function tally(port, provider) {
  const webPort = await freePort();
  const host = startHost(port, ['--web', `127.0.0.1:${webPort}`]);
  const token = await waitForPage(webPort, waitMs);
  const stateOf = () => publishedState(webPort, token, waitMs);
  const shows = (state, destination, source) =>
    state.crosspoints.some((c) => c.device === 12 && c.destination === destination && c.source === source);
  check(shows(await stateOf(), kTarget + 1, kSource + 1), 'the take is not in the state', host);
  await secondClientConnects(port, kOtherTarget, kOtherSource);
  const deadline = Date.now() + waitMs;
  let state = await stateOf();
  while (!shows(state, kOtherTarget + 1, kOtherSource + 1) && Date.now() < deadline) {
    await new Promise((resolve) => setTimeout(resolve, 100));
    state = await stateOf();
  }
  check(shows(state, kOtherTarget + 1, kOtherSource + 1),
        `the second client's route never reached the state: ${JSON.stringify(state.crosspoints)}`, host);
  const router = state.routers.find((r) => r.device === 12);
  check(router && router.destinationLabels['5'] === 'OUT 5' && router.sourceLabels['10'] === 'IN 10',
        `the state's labels: ${JSON.stringify(router)}`, host);
  if (screenshot) await pictureOf(webPort, screenshot);
  await request(webPort, 'POST', '/quit', { headers: fromThePage(webPort, token) });
  await host.ended;
  check(host.code === 0, `exit ${host.code}`, host);
  return provider.sourcesOf(kOtherTarget);
}

// The page in Debian's chromium, once it shows the second client's route.
async function pictureOf(webPort, file) {
  const { chromium } = require(path.join(nodeModules, 'playwright-core'));
  const browser = await chromium.launch({ executablePath: chromiumPath, args: ['--no-sandbox'] });
  try {
    const page = await browser.newPage({ viewport: { width: 1280, height: 900 } });
    page.setDefaultTimeout(waitMs);
    await page.goto(`http://127.0.0.1:${webPort}/`);
    await page.waitForSelector(`table.grid[data-device="12"] td[data-route="${kOtherTarget + 1}<-${kOtherSource + 1}"]`);
    await page.screenshot({ path: file, fullPage: true });
  } finally {
    await browser.close();
  }
}

// Between vorn-host and the provider: every byte is passed both ways until the stand-in is armed;
// the next EmBER frame vorn-host sends then (the take) is met as `mode` says, and not passed on.
// Keep-alive answers, a few bytes each, always pass.
async function standIn(providerPort, mode) {
  const port = await freePort();
  const state = { armed: false, met: 0 };
  const server = net.createServer((client) => {
    const provider = net.connect(providerPort, '127.0.0.1');
    for (const socket of [client, provider]) socket.on('error', () => {});
    client.on('close', () => provider.destroy());
    provider.on('close', () => client.destroy());
    provider.on('data', (d) => client.write(d));
    client.on('data', (d) => {
      if (!state.armed || d.length <= 12) return provider.write(d);
      state.armed = false;
      state.met++;
      if (mode === 'floods') return flood(client, brokenFrames());
      provider.destroy();
      client.destroy();
    });
  });
  await new Promise((resolve) => server.listen(port, '127.0.0.1', resolve));
  return { port, state };
}

// S101 frames of 1 KiB whose CRC is wrong, back to back.
function brokenFrames() {
  const frame = Buffer.alloc(1024, 0x41);
  frame[0] = 0xFE;
  frame[frame.length - 1] = 0xFF;
  return Buffer.concat(Array(64).fill(frame));
}

const kTypedTake = ['request RouterDeviceNo=12', 'event 1 Sources value=7', 'event 1 Destinations value=3'];

// vorn-host typing actions, so that the stand-in can be armed just before the take.
async function typedUntilTheTake(port) {
  const run = startHost(port, [], null);
  run.child.stdin.write(kTypedTake.join('\n') + '\n');
  await waitFor(run, /TP 'device=12' '1' 'Destinations'/);
  return run;
}

async function waitFor(run, pattern) {
  const deadline = Date.now() + waitMs;
  while (!pattern.test(run.out) && Date.now() < deadline) await new Promise((resolve) => setTimeout(resolve, 20));
  check(pattern.test(run.out), `vorn-host never printed ${pattern}`, run);
}

async function floods(provider, providerPort) {
  const stand = await standIn(providerPort, 'floods');
  const run = await typedUntilTheTake(stand.port);
  const before = launcher.peakKiB(run.child.pid);
  stand.state.armed = true;
  run.child.stdin.write('event 1 500 value=1\n');
  await waitFor(run, /router-reply-too-long/);
  const after = launcher.peakKiB(run.child.pid);
  run.child.stdin.end();
  await run.ended;
  check(run.code === 1 && /BREACH router-reply-too-long/.test(run.out), `exit ${run.code}, without the breach`, run);
  check(stand.state.met === 1 && provider.requests.length === 0, 'the take reached the provider', run);
  if (before !== null) check(after - before < 16 * 1024, `vorn-host grew by ${after - before} KiB while flooded`, run);
  const grown = before === null ? 'not measured under an emulator' : `${after - before} KiB`;
  console.log(`${providerName} floods: passed; vorn-host's peak memory grew by ${grown}\n${run.out}`);
}

async function dropsAndReturns(provider, providerPort) {
  const stand = await standIn(providerPort, 'drops');
  const run = await typedUntilTheTake(stand.port);
  stand.state.armed = true;
  run.child.stdin.end(['event 1 500 value=1', 'event 1 Sources value=5', 'event 1 Destinations value=2',
                       'event 1 500 value=1', 'show', ''].join('\n'));
  await run.ended;
  check(run.code === 1 && /BREACH router-connection-lost/.test(run.out), `exit ${run.code}, without the breach`, run);
  check(/device 12 {2}destination 2 {2}<- source 5/.test(run.out), 'the second take was not confirmed', run);
  const held = provider.sourcesOf(1);
  check(JSON.stringify(held) === '[4]', `the provider holds target 1 <- ${held}`, run);
  check(JSON.stringify(provider.sourcesOf(kTarget)) === '[0]', 'the dropped take reached the provider', run);
  console.log(`${providerName} drops-and-returns: passed; the provider holds target 1 <- [${held}]\n${run.out}`);
}

async function main() {
  const port = await freePort();
  const providers = { 'node-emberplus': nodeEmberplus, 'emberplus-connection': emberplusConnection };
  const provider = await providers[providerName](port, scenario === 'out-of-range' ? 4 : 16,
                                                 scenario === 'locked' ? kTarget : undefined,
                                                 ['labels', 'tally'].includes(scenario),
                                                 scenario === 'silent' ? kTarget : undefined);
  if (scenario === 'floods') return floods(provider, port);
  if (scenario === 'drops-and-returns') return dropsAndReturns(provider, port);
  if (scenario === 'tally') {
    const held = await tally(port, provider);
    console.log(`${providerName} tally: passed; the provider holds target ${kOtherTarget} <- [${held}]`);
    await provider.close();
    return;
  }
  const started = Date.now();
  const result = await runHost(port);
  const took = Date.now() - started;
  const held = provider.sourcesOf(kTarget);
  const requests = provider.requests;
  switch (scenario) {
    case 'confirms':
      check(result.code === 0, `exit ${result.code}`, result);
      check(JSON.stringify(held) === JSON.stringify([kSource]), `the provider holds target 2 <- ${held}`, result);
      check(/device 12 {2}destination 3 {2}<- source 7/.test(result.out), 'no reported crosspoint', result);
      break;
    case 'locked':
      check(result.code === 1 && /BREACH router-locked.*target 2 is locked/.test(result.out), 'no router-locked', result);
      check(JSON.stringify(held) === '[0]', `the provider holds target 2 <- ${held}`, result);
      break;
    case 'silent':
      check(result.code === 1 && /BREACH router-no-ack/.test(result.out), 'no router-no-ack', result);
      check(took < routerWaitMs + 10000 * timeScale, `the take took ${took} ms, against a limit of ${routerWaitMs}`,
            result);
      break;
    case 'labels':
      check(result.code === 0, `exit ${result.code}`, result);
      check(/device 12 {2}destination 3 \(OUT 3\) {2}<- source 7 \(IN 7\)/.test(result.out),
            'the crosspoint is not named by the labels', result);
      check(/destination 16 \(OUT 16\) {2}<- source 1 \(IN 1\)/.test(result.out),
            'the routes the provider held are not shown, named', result);
      break;
    case 'out-of-range':
      check(result.code === 1 && /BREACH route-out-of-range/.test(result.out), 'no route-out-of-range', result);
      check(requests.length === 0, `the provider saw ${JSON.stringify(requests)}`, result);
      break;
    default:
      console.error(`unknown scenario ${scenario}`);
      process.exit(2);
  }
  console.log(`${providerName} ${scenario}: passed; the provider holds target 2 <- [${held}]\n${result.out}`);
  await provider.close();
}

main().then(() => process.exit(0)).catch((e) => {
  console.error(e);
  process.exit(1);
});
