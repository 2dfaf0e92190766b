// Tally back as an engineer sees it, on loopback: how long a route that another controller makes
// takes from the router's wire to the page's event stream, and how long a take made on the page
// takes to come back to it confirmed. A stand-in Videohub router reports ROUTES routes one after
// another, each as soon as the last one reached the page; the distribution of both is printed.
// Wall-clock times: the figures are read, never held to a limit.
//
//   node tally_latency.js VORN_HOST MODULE [ROUTES] [TAKES]
//
// VORN_HOST may be a command of several words separated by ';' (an emulator and the program).
'use strict';
const http = require('http');
const path = require('path');

const tools = path.join(__dirname, '..', 'tests', 'node_tools');
const freePort = require(path.join(tools, 'free_port'));
const { standIn } = require(path.join(tools, 'videohub_stand_in'));
const { vornHost } = require(path.join(tools, 'vorn_host'));
const { request, waitForPage, fromThePage, waitMs } = require(path.join(tools, 'web_client'));

const [vornHostCommand, moduleFile, routeCount = '1000', takeCount = '50'] = process.argv.slice(2);
const kSize = 16;
const kDevice = 12;

// The page's event stream: each state as it arrives, handed to whoever waits for one that shows
// a crosspoint.
function eventStream(port, token) {
  const waiting = [];
  let buffer = '';
  const stream = {
    // Resolves with the time the first state showing destination <- source arrived.
    shows(destination, source) {
      return new Promise((resolve, reject) => {
        const timer = setTimeout(() => reject(new Error(`${destination} <- ${source} never reached the page`)), waitMs);
        waiting.push({ destination, source, resolve: (at) => { clearTimeout(timer); resolve(at); } });
      });
    },
  };
  const req = http.get({ host: '127.0.0.1', port, path: `/events?token=${encodeURIComponent(token)}`,
                         headers: fromThePage(port, token) }, (res) => {
    res.on('data', (data) => {
      const at = process.hrtime.bigint();
      buffer += data;
      let end;
      while ((end = buffer.indexOf('\n\n')) !== -1) {
        const event = buffer.slice(0, end);
        buffer = buffer.slice(end + 2);
        if (!event.startsWith('data: ')) continue;
        const state = JSON.parse(event.slice(6));
        for (let i = waiting.length - 1; i >= 0; i--) {
          const w = waiting[i];
          if (state.crosspoints.some((c) => c.device === kDevice && c.destination === w.destination && c.source === w.source)) {
            waiting.splice(i, 1);
            w.resolve(at);
          }
        }
      }
    });
  });
  req.on('error', () => {});
  stream.close = () => req.destroy();
  return stream;
}

function distribution(name, nanoseconds) {
  const ms = nanoseconds.map((n) => Number(n) / 1e6).sort((a, b) => a - b);
  const at = (q) => ms[Math.min(ms.length - 1, Math.floor(q * ms.length))].toFixed(2);
  console.log(`${name}: ${ms.length} in ms: median ${at(0.5)}, 90th ${at(0.9)}, 99th ${at(0.99)}, most ${ms[ms.length - 1].toFixed(2)}`);
}

async function main() {
  const routerPort = await freePort();
  const webPort = await freePort();
  const events = {};
  await standIn(routerPort, 'tally', kSize, [], events);
  const host = vornHost(vornHostCommand).spawn([moduleFile, '--router', `${kDevice}=videohub://127.0.0.1:${routerPort}`,
                                                '--router-timeout-ms', String(waitMs), '--web', `127.0.0.1:${webPort}`]);
  host.stdout.on('data', () => {});
  host.stderr.on('data', (d) => process.stderr.write(d));
  const token = await waitForPage(webPort, waitMs);
  const stream = eventStream(webPort, token);
  const play = (line) => request(webPort, 'POST', '/action', { headers: fromThePage(webPort, token), body: line });
  await play(`request RouterDeviceNo=${kDevice}`);

  // Another controller's routes, each reported once the last one has reached the page. Every
  // destination starts from source 0 on the wire; each report moves one to the next source.
  const source = new Array(kSize).fill(0);
  const tally = [];
  for (let k = 0; k < Number(routeCount); k++) {
    const destination = k % kSize;
    source[destination] = (source[destination] + 1) % kSize;
    const shown = stream.shows(destination + 1, source[destination] + 1);
    const sent = process.hrtime.bigint();
    events.otherController(destination, source[destination]);
    tally.push((await shown) - sent);
  }

  // Takes on the page: the picks, then take; timed from the take's post to the confirmed route
  // reaching the page.
  const takes = [];
  for (let k = 0; k < Number(takeCount); k++) {
    const destination = k % kSize;
    source[destination] = (source[destination] + 1) % kSize;
    await play(`event 1 Sources value=${source[destination] + 1}`);
    await play(`event 1 Destinations value=${destination + 1}`);
    const shown = stream.shows(destination + 1, source[destination] + 1);
    const sent = process.hrtime.bigint();
    await play('event 1 500 value=1');
    takes.push((await shown) - sent);
  }

  distribution('another controller\'s route, from the router\'s wire to the page', tally);
  distribution('a take, from the page\'s post to its confirmed route on the page', takes);
  stream.close();
  await request(webPort, 'POST', '/quit', { headers: fromThePage(webPort, token) });
}

main().then(() => process.exit(0), (e) => {
  console.error(`FAILED: ${e.message}`);
  process.exit(1);
});
