// The browser view refuses whatever is not its own page: run against vorn-host --web on a free
// loopback port.
//
//   node web_refusals_test.js SCENARIO VORN_HOST MODULE NODE_MODULES WORK_DIR
//
// SCENARIO:
//   other-origin     Debian's chromium opens a page served from another loopback port. It posts a
//                    take with fetch (mode 'no-cors') and with a plain HTML form: nothing is
//                    played, the crosspoint table stays empty, and vorn-host logs each refusal.
//   requests         a foreign Host, no token, a wrong token, a foreign Origin, a long body, a
//                    body of two lines and a fifth event stream are each refused; the page's own
//                    requests go through.
//   beyond-loopback  listening on 0.0.0.0, vorn-host prints a URL with a token, and without the
//                    token even the page is refused; --web-token-file sets the token.
//
// VORN_HOST may be an emulator and the program, joined by ";" (wine-run;vorn-host.exe).
//
// Exits 77 (a skip for CTest), saying so, only where chromium is needed and not installed.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const freePort = require('./free_port');
const { vornHost } = require('./vorn_host');
const { request, waitForPage, fromThePage, kSkipped, chromiumPath, waitMs } = require('./web_client');

const [scenario, vornHostCommand, moduleFile, nodeModules, workDir] = process.argv.slice(2);
const launcher = vornHost(vornHostCommand);

function startHost(args) {
  const host = launcher.spawn([moduleFile, ...args]);
  const run = { output: '', ended: null };
  host.stdout.on('data', (d) => { run.output += d; });
  host.stderr.on('data', (d) => { run.output += d; });
  run.ended = new Promise((resolve) => host.on('close', resolve));
  run.process = host;
  return run;
}

function check(condition, message, run) {
  if (condition) return;
  console.error(`FAILED: ${message}\n--- vorn-host said:\n${run.output}`);
  run.process.kill();
  process.exit(1);
}

async function quit(port, token, run) {
  await request(port, 'POST', '/quit', { headers: fromThePage(port, token) });
  const code = await run.ended;
  check(code === 0, `vorn-host ended with ${code}`, run);
}

async function stateOf(port, token) {
  return JSON.parse((await request(port, 'GET', '/state', { headers: { 'X-Vorn-Token': token } })).body);
}

// A page of another origin that tries to take a route on the view at `port`.
function attackerPage(port) {
  const target = `http://127.0.0.1:${port}/action`;
  const lines = ['request RouterDeviceNo=12', 'event 1 Sources value=7', 'event 1 Destinations value=3',
                 'event 1 500 value=1'];
  return `<!doctype html><html><body>
<form id="form" method="POST" action="${target}" enctype="text/plain" target="sink">
  <input type="hidden" name="event 1 500 value" value="1">
</form>
<iframe name="sink"></iframe>
<script>
(async () => {
  for (const line of ${JSON.stringify(lines)}) {
    await fetch('${target}', { method: 'POST', mode: 'no-cors', body: line }).catch(() => {});
  }
  document.getElementById('form').submit();
  setTimeout(() => { document.title = 'done'; }, 500);
})();
</script></body></html>`;
}

async function otherOrigin() {
  if (!fs.existsSync(chromiumPath)) {
    console.log(`SKIPPED: no chromium at ${chromiumPath} (apt-get install chromium); the browser test did not run`);
    process.exit(kSkipped);
  }
  const port = await freePort();
  const run = startHost(['--web', `127.0.0.1:${port}`]);
  const token = await waitForPage(port, waitMs);
  const attackerPort = await freePort();
  const attacker = http.createServer((req, res) => {
    res.writeHead(200, { 'Content-Type': 'text/html' });
    res.end(attackerPage(port));
  });
  await new Promise((resolve) => attacker.listen(attackerPort, '127.0.0.1', resolve));

  const { chromium } = require(path.join(nodeModules, 'playwright-core'));
  const browser = await chromium.launch({ executablePath: chromiumPath, args: ['--no-sandbox'] });
  try {
    const page = await browser.newPage();
    page.setDefaultTimeout(waitMs);
    await page.goto(`http://127.0.0.1:${attackerPort}/`);
    await page.waitForFunction(() => document.title === 'done');
  } finally {
    await browser.close();
    attacker.close();
  }
  const refusals = (run.output.match(/refused POST \/action \(403\): Origin "http:\/\/127\.0\.0\.1:\d+" is not the page's own/g) || []).length;
  // Four fetches and the form: each must have reached the server and been refused.
  check(refusals >= 5, `expected 5 refusals of the other origin's posts, saw ${refusals}`, run);
  const state = await stateOf(port, token);
  check(state.crosspoints.length === 0, `a crosspoint was set: ${JSON.stringify(state.crosspoints)}`, run);
  check(!state.log.some((e) => e.kind === 'host' && e.line > 0), `something was played: ${JSON.stringify(state.log)}`, run);
  await quit(port, token, run);
  console.log(`other-origin: passed; ${refusals} posts refused\n${run.output}`);
}

async function requests() {
  const port = await freePort();
  const run = startHost(['--web', `127.0.0.1:${port}`]);
  const token = await waitForPage(port, waitMs);
  const own = fromThePage(port, token);
  const cases = [
    ['a foreign Host', 'GET', '/state', { 'X-Vorn-Token': token, Host: `rebind.evil.example:${port}` }, '', 403],
    ['a foreign Host for the page', 'GET', '/', { Host: `rebind.evil.example:${port}` }, '', 403],
    ['another port in the Host', 'GET', '/', { Host: `127.0.0.1:${port + 1}` }, '', 403],
    ['no token', 'GET', '/state', {}, '', 403],
    ['a wrong token', 'GET', '/state', { 'X-Vorn-Token': 'x'.repeat(token.length) }, '', 403],
    ['no token on the events', 'GET', '/events', {}, '', 403],
    ['a foreign Origin', 'POST', '/action', { ...own, Origin: 'http://evil.example' }, 'event 1 500 value=1', 403],
    ['no Origin', 'POST', '/action', { 'X-Vorn-Token': token }, 'event 1 500 value=1', 403],
    ['no token on an action', 'POST', '/action', { Origin: own.Origin }, 'event 1 500 value=1', 403],
    ['a quit from a foreign Origin', 'POST', '/quit', { ...own, Origin: 'http://evil.example' }, '', 403],
    ['a long body', 'POST', '/action', own, 'x'.repeat(5000), 413],
    ['two lines', 'POST', '/action', own, 'request RouterDeviceNo=12\nevent 1 500 value=1', 400],
    ['an unknown path', 'GET', '/secret', { 'X-Vorn-Token': token }, '', 404],
    ['the page', 'GET', '/', {}, '', 200],
    ['the state', 'GET', '/state', { 'X-Vorn-Token': token }, '', 200],
    ['an action', 'POST', '/action', own, 'request RouterDeviceNo=12', 200],
  ];
  for (const [what, method, where, headers, body, expected] of cases) {
    const answer = await request(port, method, where, { headers, body });
    check(answer.status === expected, `${what}: ${method} ${where} answered ${answer.status}, not ${expected}`, run);
  }
  // Four event streams may be open; a fifth is refused.
  const streams = [];
  for (let i = 0; i < 4; i++) {
    streams.push(await new Promise((resolve) => {
      http.get({ host: '127.0.0.1', port, path: `/events?token=${token}` }, resolve);
    }));
  }
  check(streams.every((s) => s.statusCode === 200), 'an event stream was refused below the limit', run);
  const fifth = await request(port, 'GET', `/events?token=${token}`);
  check(fifth.status === 503, `a fifth event stream answered ${fifth.status}`, run);
  for (const s of streams) s.destroy();

  const state = await stateOf(port, token);
  check(state.crosspoints.length === 0, 'a refused take was played', run);
  check(state.log.filter((e) => e.kind === 'host' && e.line > 0).length === 1, `not exactly the one own action played: ${JSON.stringify(state.log)}`, run);
  await quit(port, token, run);
  check(/refused GET \/state \(403\): Host "rebind\.evil\.example:\d+" does not name this server/.test(run.output), 'the log does not name the foreign Host', run);
  check(/refused GET \/state \(403\): no token/.test(run.output), 'the log does not name the missing token', run);
  console.log(`requests: passed; ${cases.length} requests and 5 event streams\n${run.output}`);
}

async function beyondLoopback() {
  const port = await freePort();
  const run = startHost(['--web', `0.0.0.0:${port}`]);
  const deadline = Date.now() + waitMs;
  let printed;
  while (!(printed = /http:\/\/0\.0\.0\.0:\d+\/\?token=([0-9a-f]{32})/.exec(run.output)) && Date.now() < deadline) {
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  check(printed, 'no URL with a token printed', run);
  const token = printed[1];
  const page = await request(port, 'GET', '/');
  check(page.status === 403, `the page without its token answered ${page.status}`, run);
  const withToken = await request(port, 'GET', `/?token=${token}`);
  check(withToken.status === 200, `the page with its token answered ${withToken.status}`, run);
  await quit(port, token, run);

  // A fixed token for a shared rig.
  const tokenFile = path.join(workDir, 'web.token');
  fs.mkdirSync(workDir, { recursive: true });
  fs.writeFileSync(tokenFile, 'rig-token-0123456789abcdef\n');
  const fixedPort = await freePort();
  const fixed = startHost(['--web', `0.0.0.0:${fixedPort}`, '--web-token-file', tokenFile]);
  const fixedToken = await waitForPage(fixedPort, waitMs, '/?token=rig-token-0123456789abcdef');
  check(fixedToken === 'rig-token-0123456789abcdef', `the page carries ${fixedToken}`, fixed);
  await quit(fixedPort, fixedToken, fixed);
  console.log(`beyond-loopback: passed\n${run.output}${fixed.output}`);
}

const scenarios = { 'other-origin': otherOrigin, requests, 'beyond-loopback': beyondLoopback };
if (!scenarios[scenario]) {
  console.error(`unknown scenario ${scenario}`);
  process.exit(2);
}
scenarios[scenario]().then(() => process.exit(0)).catch((e) => {
  console.error(e);
  process.exit(1);
});
