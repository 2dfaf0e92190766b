// A Videohub router of our own on a loopback port, for what npm's videohub-server does not do (it
// never confirms a route, never refuses one, never reports another controller's). Used by the
// router-link tests and by the tally benchmark.
//
//   const server = await standIn(port, mode, size, routes, events);
//
// routes collects [destination, source] of each route sent to it; events.closed(n) hears of each
// connection's end; in 'tally' mode, events.otherController(destination, source) reports a route
// of another controller's on the newest connection.
'use strict';
const net = require('net');
const { flood } = require('./flood');

// A router that speaks the protocol as the stand-in's mode says: it sends its prelude, then
// answers each block with ACK (or NAK, or nothing) and, when it confirms, the status block.
// Modes beyond the protocol: 'floods' answers a route with 64 MiB and no blank line;
// 'drops-once' closes its first connection when the route comes, and confirms on the next.
// 'tally' confirms, names its ports, and reports a route of another controller's when told.
function standIn(port, mode, size, routes, events = {}) {
  let connections = 0;
  const server = net.createServer((socket) => {
    const connection = ++connections;
    // Each reply goes out as it is written, as a router's does: no small write waits for the
    // last one's acknowledgement.
    socket.setNoDelay(true);
    socket.on('close', () => { if (events.closed) events.closed(connection); });
    let prelude = 'PROTOCOL PREAMBLE:\nVersion: 2.8\n\nVIDEOHUB DEVICE:\nDevice present: true\n' +
      `Video inputs: ${size}\nVideo outputs: ${size}\n\n`;
    if (mode === 'tally') {
      prelude += 'INPUT LABELS:\n' + Array.from({ length: size }, (_, i) => `${i} CAM ${i + 1}\n`).join('') + '\n';
      prelude += 'OUTPUT LABELS:\n' + Array.from({ length: size }, (_, i) => `${i} MON ${i + 1}\n`).join('') + '\n';
      events.otherController = (destination, source) =>
        socket.write(`VIDEO OUTPUT ROUTING:\n${destination} ${source}\n\n`);
    }
    prelude += 'VIDEO OUTPUT ROUTING:\n';
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
        if (mode === 'floods') { flood(socket, Buffer.alloc(64 * 1024, 'x')); continue; }
        if (mode === 'drops-once' && connection === 1) { socket.destroy(); return; }
        if (mode === 'silent') continue;
        if (mode === 'refuses') { socket.write('NAK\n\n'); continue; }
        socket.write('ACK\n\n');
        if (mode === 'confirms' || mode === 'drops-once' || mode === 'tally') socket.write(`VIDEO OUTPUT ROUTING:\n${lines.slice(1).join('\n')}\n\n`);
      }
    });
    socket.on('error', () => {});
  });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

module.exports = { standIn };
