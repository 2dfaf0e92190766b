// vorn-host's --router against a router on a loopback port: npm's videohub-server, which nobody
// here wrote, or a small stand-in of our own for what that package does not do (it never sends
// the status block that confirms a route, and never refuses one).
//
//   node router_link_test.js SCENARIO VORN_HOST MODULE SESSION [NODE_MODULES]
//
// SCENARIO: videohub-server | confirms | refuses | silent | unconfirmed | out-of-range
'use strict';
const net = require('net');
const path = require('path');
const { spawn } = require('child_process');
const freePort = require('../node_tools/free_port');

const [scenario, vornHost, moduleFile, session, nodeModules] = process.argv.slice(2);

// A router that speaks the protocol as the stand-in's mode says: it sends its prelude, then
// answers each block with ACK (or NAK, or nothing) and, when it confirms, the status block.
function standIn(port, mode, size, routes) {
  const server = net.createServer((socket) => {
    let prelude = 'PROTOCOL PREAMBLE:\nVersion: 2.8\n\nVIDEOHUB DEVICE:\nDevice present: true\n' +
      `Video inputs: ${size}\nVideo outputs: ${size}\n\nVIDEO OUTPUT ROUTING:\n`;
    for (let i = 0; i < size; i++) prelude += `${i} 0\n`;
    socket.write(prelude + '\nEND PRELUDE:\n\n');
    let buffer = '';
    socket.on('data', (data) => {
      buffer += data.toString();
      let end;
      while ((end = buffer.indexOf('\n\n')) !== -1) {
        const lines = buffer.slice(0, end).split('\n');
        buffer = buffer.slice(end + 2);
        if (lines[0] !== 'VIDEO OUTPUT ROUTING:') continue;
        for (const line of lines.slice(1)) routes.push(line.split(' ').map(Number));
        if (mode === 'silent') continue;
        if (mode === 'refuses') { socket.write('NAK\n\n'); continue; }
        socket.write('ACK\n\n');
        if (mode === 'confirms') socket.write(`VIDEO OUTPUT ROUTING:\n${lines.slice(1).join('\n')}\n\n`);
      }
    });
    socket.on('error', () => {});
  });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

// How long vorn-host waits for the router's word. Where the router answers, a long wait costs
// nothing and holds on a loaded machine; where it stays silent (videohub-server never confirms a
// route), the test waits it out. Scaled by
// the suite's VORN_TIME_SCALE (sanitizers run slower).
const timeScale = Number(process.env.VORN_TIME_SCALE || 1);
const routerWaitMs = (['silent', 'unconfirmed', 'videohub-server'].includes(scenario) ? 3000 : 20000) * timeScale;

function runHost(port, extra) {
  return new Promise((resolve) => {
    const args = [moduleFile, session, '--router-timeout-ms', String(routerWaitMs),
                  '--router', `12=videohub://127.0.0.1:${port}`, ...extra];
    const child = spawn(vornHost, args);
    let out = '';
    child.stdout.on('data', (d) => { out += d; });
    child.stderr.on('data', (d) => { out += d; });
    child.on('close', (code) => resolve({ code, out }));
  });
}

function check(condition, message, result) {
  if (condition) return;
  console.error(`FAILED: ${message}\n--- vorn-host said:\n${result.out}`);
  process.exit(1);
}

const sameRoutes = (a, b) => JSON.stringify(a) === JSON.stringify(b);

async function main() {
  const port = await freePort();
  const routes = [];
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

main();
