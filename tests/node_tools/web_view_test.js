// The browser view in a real browser: vorn-host --web on a free loopback port, Debian's chromium
// driven by playwright-core. It picks a source and a destination and presses take by clicking,
// then checks that the page shows the crosspoint and the exchange, and keeps a screenshot.
//
//   node web_view_test.js VORN_HOST MODULE NODE_MODULES SCREENSHOT RECORDED_SESSION
//
// VORN_HOST may be an emulator and the program, joined by ";" (wine-run;vorn-host.exe).
//
// Exits 77 (a skip for CTest), saying so, only where chromium is not installed.
'use strict';
const fs = require('fs');
const path = require('path');
const freePort = require('./free_port');
const { vornHost } = require('./vorn_host');
const { request, waitForPage, fromThePage, kSkipped, chromiumPath, waitMs } = require('./web_client');

const [vornHostCommand, moduleFile, nodeModules, screenshot, recorded] = process.argv.slice(2);
const launcher = vornHost(vornHostCommand);

function fail(message, hostOutput) {
  console.error(`FAILED: ${message}\n--- vorn-host said:\n${hostOutput()}`);
  process.exit(1);
}

async function main() {
  if (!fs.existsSync(chromiumPath)) {
    console.log(`SKIPPED: no chromium at ${chromiumPath} (apt-get install chromium); the browser test did not run`);
    process.exit(kSkipped);
  }
  const { chromium } = require(path.join(nodeModules, 'playwright-core'));
  const port = await freePort();
  const url = `http://127.0.0.1:${port}/`;
  const host = launcher.spawn([moduleFile, '--web', `127.0.0.1:${port}`, '--record', recorded]);
  let output = '';
  host.stdout.on('data', (d) => { output += d; });
  host.stderr.on('data', (d) => { output += d; });
  const ended = new Promise((resolve) => host.on('close', resolve));
  const hostOutput = () => output;

  const token = await waitForPage(port, waitMs);
  const browser = await chromium.launch({ executablePath: chromiumPath, args: ['--no-sandbox'] });
  try {
    const page = await browser.newPage({ viewport: { width: 1280, height: 900 } });
    page.setDefaultTimeout(waitMs);
    await page.goto(url);
    await page.fill('#request-text', 'RouterDeviceNo=12');
    await page.click('#send-request');
    await page.waitForSelector('[data-control="Sources"] .title:has-text("device 12")');
    await page.click('[data-control="Sources"] button[data-item="7"]');
    await page.click('[data-control="Destinations"] button[data-item="3"]');
    await page.click('button[data-control="500"]');
    await page.waitForSelector('table.grid[data-device="12"] td[data-route="3<-7"]');
    const log = await page.textContent('#log');
    for (const line of ["host   > event 1 500 value=1", "module > RC 12 7 3 ',' 0",
                        "module > TP 'selected=0' '1' 'Destinations'"]) {
      if (!log.includes(line)) fail(`the page's exchange lacks "${line}":\n${log}`, hostOutput);
    }
    if ((await page.textContent('#status')) !== 'clean') fail('the page shows a breach', hostOutput);
    await page.screenshot({ path: screenshot, fullPage: true });
  } finally {
    await browser.close();
  }
  await request(port, 'POST', '/quit', { headers: fromThePage(port, token) });
  const code = await ended;
  if (code !== 0) fail(`vorn-host ended with ${code}`, hostOutput);

  // What was clicked is a session, with what the module did.
  const session = fs.readFileSync(recorded, 'utf8').replace(/\r\n/g, '\n');
  for (const line of ['request RouterDeviceNo=12', 'event 1 Sources value=7', 'event 1 Destinations value=3',
                      'event 1 500 value=1', "expect RC 12 7 3 ',' 0"]) {
    if (!session.includes(line + '\n')) fail(`the recorded session lacks "${line}":\n${session}`, hostOutput);
  }
  console.log(`passed; screenshot ${screenshot}\nrecorded session:\n${session}`);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
