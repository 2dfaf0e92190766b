// vorn-host's --router ember://HOST:PORT/PATH against Ember+ providers that nobody here wrote,
// each made here in code with a matrix at 0.0: npm's node-emberplus (EmberServer, which applies
// connects and honours a connection's lock()) and emberplus-connection (EmberServer with an
// onMatrixOperation handler, which answers for its matrix as a router would).
//
//   node ember_link_test.js PROVIDER SCENARIO VORN_HOST MODULE SESSION NODE_MODULES
//
// PROVIDER: node-emberplus | emberplus-connection
// SCENARIO:
//   confirms       the typical take is confirmed, and the provider's own state shows it
//   locked         the take's target is locked: a router-locked breach, and nothing changes
//   out-of-range   the matrix has 4 sources: the take's source 7 is refused before anything is
//                  sent (router-out-of-range), and the provider sees no connection request
// VORN_HOST may be a command of several words separated by ';' (an emulator and the program).
'use strict';
const path = require('path');
const freePort = require('./free_port');
const { vornHost } = require('./vorn_host');

const [providerName, scenario, vornHostCommand, moduleFile, session, nodeModules] = process.argv.slice(2);
const launcher = vornHost(vornHostCommand);
const timeScale = Number(process.env.VORN_TIME_SCALE || 1);
const routerWaitMs = 20000 * timeScale;
const kMatrixPath = '0.0';
// The typical take: destination 3 and source 7 of the panel, 2 and 6 on the wire.
const kTarget = 2;
const kSource = 6;

function check(condition, message, result) {
  if (condition) return;
  console.error(`FAILED: ${message}\n--- vorn-host said:\n${result.out}`);
  process.exit(1);
}

// Node 0 "router" holding matrix 0.0 "video": 16 targets, each from source 0 to begin with.
// Each provider gives the sources it holds for a target, what it was asked, and its end.
async function nodeEmberplus(port, size, lockedTarget) {
  const { EmberServer, EmberServerEvent } = require(path.join(nodeModules, 'node-emberplus'));
  const connections = {};
  for (let target = 0; target < 16; target++) connections[target] = { target, sources: [0] };
  const tree = EmberServer.createTreeFromJSON([{
    identifier: 'router',
    children: [{ identifier: 'video', type: 'oneToN', mode: 'linear', targetCount: 16, sourceCount: size,
                 connections }],
  }]);
  const server = new EmberServer({ host: '127.0.0.1', port, tree });
  const requests = [];
  server.on(EmberServerEvent.MATRIX_CONNECT, (info) => requests.push(info));
  server.on(EmberServerEvent.MATRIX_CHANGE, (info) => requests.push(info));
  server.on(EmberServerEvent.ERROR, (e) => console.error(`provider error: ${e}`));
  if (lockedTarget !== undefined) server.tree.getElementByPath(kMatrixPath).connections[lockedTarget].lock();
  await server.listen();
  return {
    requests,
    sourcesOf: (target) => server.tree.getElementByPath(kMatrixPath).connections[target].sources || [],
    close: () => server.closeAsync(),
  };
}

async function emberplusConnection(port, size, lockedTarget) {
  const { EmberServer, Model } = require(path.join(nodeModules, 'emberplus-connection'));
  const connections = {};
  for (let target = 0; target < 16; target++) connections[target] = { target, sources: [0] };
  const matrix = new Model.MatrixImpl('video', undefined, undefined, connections, undefined, Model.MatrixType.OneToN,
                                      Model.MatrixAddressingMode.Linear, 16, size);
  const router = new Model.NumberedTreeNodeImpl(0, new Model.EmberNodeImpl('router'));
  const video = new Model.NumberedTreeNodeImpl(0, matrix, undefined, router);
  router.children = { 0: video };
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

function runHost(port) {
  return new Promise((resolve) => {
    const child = launcher.spawn([moduleFile, session, '--router-timeout-ms', String(routerWaitMs),
                                  '--router', `12=ember://127.0.0.1:${port}/${kMatrixPath}`]);
    let out = '';
    child.stdout.on('data', (d) => { out += d; });
    child.stderr.on('data', (d) => { out += d; });
    child.on('close', (code) => resolve({ code, out }));
  });
}

async function main() {
  const port = await freePort();
  const providers = { 'node-emberplus': nodeEmberplus, 'emberplus-connection': emberplusConnection };
  const provider = await providers[providerName](port, scenario === 'out-of-range' ? 4 : 16,
                                                 scenario === 'locked' ? kTarget : undefined);
  const result = await runHost(port);
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
