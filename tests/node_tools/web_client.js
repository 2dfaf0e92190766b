// What the web tests say to vorn-host --web: plain HTTP requests with whatever Host, Origin and
// token a test chooses (Node's http module sends headers as given, where a browser would not).
'use strict';
const http = require('http');

// { status, body } of one request. headers may set Host and Origin.
function request(port, method, path, { headers = {}, body = '' } = {}) {
  return new Promise((resolve, reject) => {
    const req = http.request({ host: '127.0.0.1', port, method, path, headers: { ...headers } }, (res) => {
      let text = '';
      res.on('data', (d) => { text += d; });
      res.on('end', () => resolve({ status: res.statusCode, body: text }));
    });
    req.on('error', reject);
    req.end(body);
  });
}

// Waits until the page is served (GET / on loopback needs no token) and returns the token it carries.
async function waitForPage(port, waitMs, path = '/') {
  const deadline = Date.now() + waitMs;
  while (Date.now() < deadline) {
    try {
      const page = await request(port, 'GET', path);
      const token = /<meta name="vorn-token" content="([0-9A-Za-z_-]+)">/.exec(page.body);
      if (page.status === 200 && token) return token[1];
    } catch (e) {
      // not listening yet
    }
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  throw new Error('vorn-host --web never served its page');
}

// vorn-host's state as the page fetches it, once vorn-host has published one: until then the
// server holds an empty one.
async function publishedState(port, token, waitMs) {
  const deadline = Date.now() + waitMs;
  for (;;) {
    const reply = await request(port, 'GET', '/state', { headers: fromThePage(port, token) });
    const state = JSON.parse(reply.body);
    if (state.crosspoints || Date.now() > deadline) return state;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// The headers of a request from the page itself.
function fromThePage(port, token) {
  return { 'X-Vorn-Token': token, Origin: `http://127.0.0.1:${port}`, 'Content-Type': 'text/plain' };
}

// A browser test's exit status when it is skipped (CTest's SKIP_RETURN_CODE), where its browser is
// found, and how long any of its waits may take, scaled by the suite's VORN_TIME_SCALE
// (sanitizers run slower).
const kSkipped = 77;
const chromiumPath = process.env.VORN_CHROMIUM || '/usr/bin/chromium';
const waitMs = 30000 * Number(process.env.VORN_TIME_SCALE || 1);

module.exports = { request, waitForPage, publishedState, fromThePage, kSkipped, chromiumPath, waitMs };
